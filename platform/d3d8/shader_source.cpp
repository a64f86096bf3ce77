// Generates the fixed-function programs. The vertex stage does Direct3D's transform (row vectors:
// matrices are uploaded as given, so `M * v` in GLSL is Direct3D's `v * M`), its lighting in
// camera space and its texture coordinate generation and transforms; the fragment stage runs the
// texture stage combiner.
#include "platform/d3d8/shader_source.h"

#include "platform/d3d8/render_states.h"

#include <string>

namespace d3d8 {
namespace {

std::string num(int value) {
    return std::to_string(value);
}

// A material colour read from its source: the material itself or a vertex colour.
std::string sourceColour(std::uint8_t source, const char *material) {
    switch (source) {
    case D3DMCS_COLOR1:
        return "aDiffuse";
    case D3DMCS_COLOR2:
        return "aSpecular";
    default:
        return material;
    }
}

void appendLighting(const ProgramKey &key, std::string &s) {
    s += "    vec3 N = uNormalMatrix * ";
    s += key.hasNormal ? "aNormal;\n" : "vec3(0.0);\n";
    if (key.normalize)
        s += "    if (dot(N, N) > 0.0) N = normalize(N);\n";
    s += "    vec4 cd = " + sourceColour(key.diffuseSource, "uMatDiffuse") + ";\n";
    s += "    vec4 ca = " + sourceColour(key.ambientSource, "uMatAmbient") + ";\n";
    s += "    vec4 cs = " + sourceColour(key.specularSource, "uMatSpecular") + ";\n";
    s += "    vec4 ce = " + sourceColour(key.emissiveSource, "uMatEmissive") + ";\n";
    s += "    vec3 ambient = uGlobalAmbient.rgb;\n"
         "    vec3 diffuse = vec3(0.0);\n"
         "    vec3 specular = vec3(0.0);\n";
    if (key.specularEnable)
        s += key.localViewer ? "    vec3 V = -normalize(P);\n"
                             : "    vec3 V = vec3(0.0, 0.0, -1.0);\n";
    // One block per enabled light, written for its type: no branching on types at run time.
    for (int i = 0; i < key.lightCount; ++i) {
        const std::uint8_t type = key.lightTypes[i];
        std::string light = "    {\n"
                            "        vec3 L;\n"
                            "        float scale = 1.0;\n";
        if (type == D3DLIGHT_DIRECTIONAL) {
            light += "        L = -uLightDirection[#];\n";
        } else {
            // Beyond its range a light adds nothing, not even ambient.
            light += "        vec3 toLight = uLightPosition[#] - P;\n"
                     "        float d = length(toLight);\n"
                     "        if (!(d > uLightRange[#].x)) {\n"
                     "        L = d > 0.0 ? toLight / d : vec3(0.0, 0.0, -1.0);\n"
                     "        float a = uLightAttenuation[#].x + uLightAttenuation[#].y * d +\n"
                     "                  uLightAttenuation[#].z * d * d;\n"
                     "        scale = a > 0.0 ? 1.0 / a : 1.0;\n";
            if (type == D3DLIGHT_SPOT)
                light += "        float rho = dot(-L, uLightDirection[#]);\n"
                         "        float cosHalfTheta = uLightRange[#].z, cosHalfPhi = "
                         "uLightRange[#].w;\n"
                         "        if (rho <= cosHalfPhi) scale = 0.0;\n"
                         "        else if (rho <= cosHalfTheta)\n"
                         "            scale *= pow((rho - cosHalfPhi) / (cosHalfTheta - "
                         "cosHalfPhi),\n"
                         "                         uLightRange[#].y);\n";
        }
        light += "        ambient += uLightAmbient[#].rgb * scale;\n"
                 "        float nDotL = dot(N, L);\n"
                 "        if (nDotL > 0.0) {\n"
                 "            diffuse += uLightDiffuse[#].rgb * nDotL * scale;\n";
        if (key.specularEnable)
            light += "            float nDotH = dot(N, normalize(V + L));\n"
                     "            if (nDotH > 0.0)\n"
                     "                specular += uLightSpecular[#].rgb * pow(nDotH, uMatPower) * "
                     "scale;\n";
        light += "        }\n";
        if (type != D3DLIGHT_DIRECTIONAL)
            light += "        }\n";
        light += "    }\n";
        for (char c : light) {
            if (c == '#')
                s += num(i);
            else
                s += c;
        }
    }
    s += "    vDiffuse = vec4(clamp(ce.rgb + ca.rgb * ambient + cd.rgb * diffuse, 0.0, 1.0),\n"
         "                    clamp(cd.a, 0.0, 1.0));\n";
    s += key.specularEnable ? "    vSpecular = vec4(clamp(cs.rgb * specular, 0.0, 1.0), 0.0);\n"
                            : "    vSpecular = vec4(0.0);\n";
}

// The coordinates a stage samples with, before any texture transform, padded the way Direct3D
// feeds them to the texture matrix: (u, 1, 0, 0), (u, v, 1, 0), (u, v, w, 1).
std::string stageInput(const ProgramKey &key, const StageKey &stage) {
    switch (stage.texGen) {
    case 1:
        return "vec4(N, 1.0)";
    case 2:
        return "vec4(P, 1.0)";
    case 3:
        return "vec4(reflect(normalize(" +
               std::string(key.localViewer ? "P" : "vec3(0.0, 0.0, 1.0)") +
               "), dot(N, N) > 0.0 ? normalize(N) : N), 1.0)";
    default:
        break;
    }
    const std::string set = "aTex" + num(stage.coordSet);
    switch (stage.coordDims) {
    case 1:
        return "vec4(" + set + ".x, 1.0, 0.0, 0.0)";
    case 2:
        return "vec4(" + set + ".xy, 1.0, 0.0)";
    case 3:
        return "vec4(" + set + ".xyz, 1.0)";
    case 4:
        return set;
    default:
        return "vec4(0.0, 0.0, 1.0, 0.0)";
    }
}

// The coordinates a stage's texture is sampled with: .xy for a flat texture, .xyz for a cube.
// A stage without a texture passes none on.
const char *coordSwizzle(const StageKey &stage) {
    switch (stage.texture) {
    case TextureKind::Flat:
        return ".xy";
    case TextureKind::Cube:
        return ".xyz";
    default:
        return nullptr;
    }
}

const char *coordType(const StageKey &stage) {
    return stage.texture == TextureKind::Cube ? "vec3" : "vec2";
}

} // namespace

std::string VertexShaderSource(const ProgramKey &key) {
    std::string s = "#version 330 core\n";
    s += "layout(location = 0) in vec4 aPosition;\n";
    if (key.hasNormal)
        s += "layout(location = 1) in vec3 aNormal;\n";
    s += key.hasDiffuse ? "layout(location = 2) in vec4 aDiffuse;\n"
                        : "const vec4 aDiffuse = vec4(1.0);\n";
    s += key.hasSpecular ? "layout(location = 3) in vec4 aSpecular;\n"
                         : "const vec4 aSpecular = vec4(0.0);\n";
    for (int set = 0; set < key.texSets; ++set)
        s += "layout(location = " + num(kTexCoordAttribute + set) + ") in vec4 aTex" + num(set) +
             ";\n";
    s += "uniform mat4 uWorldView;\n"
         "uniform mat4 uProjection;\n"
         "uniform mat3 uNormalMatrix;\n"
         "uniform vec4 uScreen;\n"
         "uniform mat4 uTexMatrix[8];\n"
         "uniform vec4 uMatDiffuse, uMatAmbient, uMatSpecular, uMatEmissive;\n"
         "uniform float uMatPower;\n"
         "uniform vec4 uGlobalAmbient;\n"
         "uniform vec4 uLightDiffuse[8], uLightSpecular[8], uLightAmbient[8];\n"
         "uniform vec3 uLightPosition[8], uLightDirection[8], uLightAttenuation[8];\n"
         "uniform vec4 uLightRange[8];\n"
         "out vec4 vDiffuse;\n"
         "out vec4 vSpecular;\n";
    for (int i = 0; i < key.stageCount; ++i)
        if (coordSwizzle(key.stages[i]))
            s += std::string("out ") + coordType(key.stages[i]) + " vTex" + num(i) + ";\n";
    s += "void main() {\n";
    if (key.pretransformed) {
        // Screen pixels, top-left origin; pixel centres sit on integer coordinates, half a pixel
        // before OpenGL's. w = 1/rhw keeps interpolation perspective-correct.
        s += "    float w = aPosition.w != 0.0 ? 1.0 / aPosition.w : 1.0;\n"
             "    vec2 ndc = (aPosition.xy + 0.5 - uScreen.xy) * uScreen.zw - 1.0;\n"
             "    gl_Position = vec4(ndc * w, (2.0 * aPosition.z - 1.0) * w, w);\n"
             "    vec3 N = vec3(0.0);\n"
             "    vec3 P = vec3(0.0);\n"
             "    vDiffuse = aDiffuse;\n"
             "    vSpecular = aSpecular;\n";
        for (int i = 0; i < key.stageCount; ++i) {
            const StageKey &stage = key.stages[i];
            if (!coordSwizzle(stage))
                continue;
            s += "    vTex" + num(i) + " = " +
                 (stage.coordDims ? "aTex" + num(stage.coordSet) : std::string("vec4(0.0)")) +
                 coordSwizzle(stage) + ";\n";
        }
    } else {
        // Direct3D's clip space has z in 0..1 and y up on a top-down framebuffer: remap both.
        s += "    vec3 P = (uWorldView * vec4(aPosition.xyz, 1.0)).xyz;\n"
             "    vec4 clip = uProjection * vec4(P, 1.0);\n"
             "    gl_Position = vec4(clip.x, -clip.y, 2.0 * clip.z - clip.w, clip.w);\n";
        if (key.lighting) {
            appendLighting(key, s);
        } else {
            s += "    vec3 N = uNormalMatrix * ";
            s += key.hasNormal ? "aNormal;\n" : "vec3(0.0);\n";
            if (key.normalize)
                s += "    if (dot(N, N) > 0.0) N = normalize(N);\n";
            s += "    vDiffuse = aDiffuse;\n"
                 "    vSpecular = aSpecular;\n";
        }
        for (int i = 0; i < key.stageCount; ++i) {
            const StageKey &stage = key.stages[i];
            if (!coordSwizzle(stage))
                continue;
            const std::string coord = "coord" + num(i);
            s += "    vec4 " + coord + " = " + stageInput(key, stage) + ";\n";
            if (stage.transform) {
                s += "    " + coord + " = uTexMatrix[" + num(i) + "] * " + coord + ";\n";
                if (stage.projected && stage.transform > 1) {
                    const char last = "xyzw"[stage.transform - 1];
                    s += "    " + coord + " /= " + coord + "." + std::string(1, last) + ";\n";
                }
            }
            s += "    vTex" + num(i) + " = " + coord + coordSwizzle(stage) + ";\n";
        }
    }
    s += "}\n";
    return s;
}

namespace {

std::string argument(std::uint8_t arg, int stage) {
    std::string base;
    switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_DIFFUSE:
        base = "vDiffuse";
        break;
    case D3DTA_CURRENT:
        base = "current";
        break;
    case D3DTA_TEXTURE:
        base = "tex" + num(stage);
        break;
    case D3DTA_TFACTOR:
        base = "uTextureFactor";
        break;
    case D3DTA_SPECULAR:
        base = "vSpecular";
        break;
    default:
        base = "temp";
        break;
    }
    if (arg & D3DTA_COMPLEMENT)
        base = "(vec4(1.0) - " + base + ")";
    if (arg & D3DTA_ALPHAREPLICATE)
        base = "vec4(" + base + ".a)";
    return base;
}

// One combiner operation on the channels `sw` (".rgb" or ".a") of the three arguments.
std::string operation(std::uint8_t op, const std::string &a0, const std::string &a1,
                      const std::string &a2, const std::string &sw, int stage) {
    const std::string x0 = a0 + sw, x1 = a1 + sw, x2 = a2 + sw;
    const std::string t = "tex" + num(stage);
    switch (op) {
    case D3DTOP_SELECTARG1:
        return x1;
    case D3DTOP_SELECTARG2:
        return x2;
    case D3DTOP_MODULATE:
        return x1 + " * " + x2;
    case D3DTOP_MODULATE2X:
        return "2.0 * " + x1 + " * " + x2;
    case D3DTOP_MODULATE4X:
        return "4.0 * " + x1 + " * " + x2;
    case D3DTOP_ADD:
        return x1 + " + " + x2;
    case D3DTOP_ADDSIGNED:
        return x1 + " + " + x2 + " - 0.5";
    case D3DTOP_ADDSIGNED2X:
        return "2.0 * (" + x1 + " + " + x2 + " - 0.5)";
    case D3DTOP_SUBTRACT:
        return x1 + " - " + x2;
    case D3DTOP_ADDSMOOTH:
        return x1 + " + " + x2 + " * (1.0 - " + x1 + ")";
    case D3DTOP_BLENDDIFFUSEALPHA:
        return "mix(" + x2 + ", " + x1 + ", vDiffuse.a)";
    case D3DTOP_BLENDTEXTUREALPHA:
        return "mix(" + x2 + ", " + x1 + ", " + t + ".a)";
    case D3DTOP_BLENDFACTORALPHA:
        return "mix(" + x2 + ", " + x1 + ", uTextureFactor.a)";
    case D3DTOP_BLENDTEXTUREALPHAPM:
        return x1 + " + " + x2 + " * (1.0 - " + t + ".a)";
    case D3DTOP_BLENDCURRENTALPHA:
        return "mix(" + x2 + ", " + x1 + ", current.a)";
    case D3DTOP_MODULATEALPHA_ADDCOLOR:
        return sw == ".a" ? x1 : x1 + " + " + a1 + ".a * " + x2;
    case D3DTOP_MODULATECOLOR_ADDALPHA:
        return sw == ".a" ? x1 : x1 + " * " + x2 + " + " + a1 + ".a";
    case D3DTOP_MODULATEINVALPHA_ADDCOLOR:
        return sw == ".a" ? x1 : x1 + " + (1.0 - " + a1 + ".a) * " + x2;
    case D3DTOP_MODULATEINVCOLOR_ADDALPHA:
        return sw == ".a" ? x1 : "(1.0 - " + x1 + ") * " + x2 + " + " + a1 + ".a";
    case D3DTOP_DOTPRODUCT3: {
        const std::string dot =
            "clamp(dot(" + a1 + ".rgb - 0.5, " + a2 + ".rgb - 0.5) * 4.0, 0.0, 1.0)";
        return sw == ".a" ? dot : "vec3(" + dot + ")";
    }
    case D3DTOP_MULTIPLYADD:
        return x0 + " + " + x1 + " * " + x2;
    case D3DTOP_LERP:
        return "mix(" + x2 + ", " + x1 + ", " + x0 + ")";
    default: // premodulate and bump mapping have no effect here: the value passes through
        return "current" + sw;
    }
}

const char *comparison(std::uint8_t func) {
    switch (func) {
    case D3DCMP_NEVER:
        return "false";
    case D3DCMP_LESS:
        return "a < uAlphaReference";
    case D3DCMP_EQUAL:
        return "abs(a - uAlphaReference) < 0.5 / 255.0";
    case D3DCMP_LESSEQUAL:
        return "a <= uAlphaReference";
    case D3DCMP_GREATER:
        return "a > uAlphaReference";
    case D3DCMP_NOTEQUAL:
        return "abs(a - uAlphaReference) >= 0.5 / 255.0";
    case D3DCMP_GREATEREQUAL:
        return "a >= uAlphaReference";
    default:
        return "true";
    }
}

} // namespace

std::string FragmentShaderSource(const ProgramKey &key) {
    std::string s = "#version 330 core\n"
                    "in vec4 vDiffuse;\n"
                    "in vec4 vSpecular;\n"
                    "uniform vec4 uTextureFactor;\n"
                    "uniform float uAlphaReference;\n"
                    "out vec4 fragColour;\n";
    for (int i = 0; i < key.stageCount; ++i) {
        if (coordSwizzle(key.stages[i]))
            s += std::string("in ") + coordType(key.stages[i]) + " vTex" + num(i) + ";\n";
        const TextureKind kind = key.stages[i].texture;
        if (kind == TextureKind::Flat)
            s += "uniform sampler2D uSampler" + num(i) + ";\n";
        else if (kind == TextureKind::Cube)
            s += "uniform samplerCube uSampler" + num(i) + ";\n";
    }
    s += "void main() {\n"
         "    vec4 current = vDiffuse;\n"
         "    vec4 temp = vec4(0.0);\n";
    for (int i = 0; i < key.stageCount; ++i) {
        const StageKey &stage = key.stages[i];
        const std::string n = num(i);
        // A stage without a texture reads opaque white.
        switch (stage.texture) {
        case TextureKind::Flat:
            s += "    vec4 tex" + n + " = texture(uSampler" + n + ", vTex" + n + ");\n";
            break;
        case TextureKind::Cube:
            s += "    vec4 tex" + n + " = texture(uSampler" + n + ", vTex" + n + ");\n";
            break;
        default:
            s += "    vec4 tex" + n + " = vec4(1.0);\n";
            break;
        }
        const std::string c0 = argument(stage.colorArg[0], i), c1 = argument(stage.colorArg[1], i),
                          c2 = argument(stage.colorArg[2], i);
        const std::string a0 = argument(stage.alphaArg[0], i), a1 = argument(stage.alphaArg[1], i),
                          a2 = argument(stage.alphaArg[2], i);
        s += "    {\n";
        s += "        vec3 rgb = " + operation(stage.colorOp, c0, c1, c2, ".rgb", i) + ";\n";
        s += "        float alpha = " +
             (stage.alphaOp == D3DTOP_DISABLE ? std::string("current.a")
                                              : operation(stage.alphaOp, a0, a1, a2, ".a", i)) +
             ";\n";
        s += std::string("        ") + (stage.resultTemp ? "temp" : "current") +
             " = clamp(vec4(rgb, alpha), 0.0, 1.0);\n";
        s += "    }\n";
    }
    if (key.specularEnable)
        s += "    current.rgb = clamp(current.rgb + vSpecular.rgb, 0.0, 1.0);\n";
    if (key.alphaFunc) {
        s += "    float a = current.a;\n";
        s += std::string("    if (!(") + comparison(key.alphaFunc) + ")) discard;\n";
    }
    s += "    fragColour = current;\n"
         "}\n";
    return s;
}

} // namespace d3d8
