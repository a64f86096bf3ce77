// The effect-language subset the program's reflection effect is written in: parameter
// declarations, techniques, passes and device-state assignments. Parsing is device-free; state
// names and value names are resolved here, so an effect object only has to apply the list.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace effect {

enum class ParameterType { Texture, Matrix, Vector, Float, DWord, Bool };

struct Parameter {
    ParameterType type;
    std::string name;
};

// The states an assignment can set, grouped by what the device does with them.
enum class State {
    // Render states.
    ZEnable,
    ZWriteEnable,
    ZFunc,
    AlphaBlendEnable,
    SrcBlend,
    DestBlend,
    Lighting,
    CullMode,
    // The fixed-function vertex format (value: the format's flag bits).
    VertexShader,
    // Transforms (value: a matrix parameter).
    WorldTransform,
    ViewTransform,
    ProjectionTransform,
    // The texture of a stage (value: a texture parameter).
    Texture,
    // Texture stage states (index: the stage).
    ColorOp,
    ColorArg1,
    ColorArg2,
    AlphaOp,
    AlphaArg1,
    AlphaArg2,
    MinFilter,
    MagFilter,
    MipFilter,
    AddressU,
    AddressV,
    AddressW,
    TexCoordIndex,
    TextureTransformFlags,
};

enum class StateGroup { Render, VertexShader, Transform, Texture, TextureStage };
StateGroup GroupOf(State state);

// One assignment: `value` holds the device's number for the named value (for example LessEqual
// is the comparison 4, xyz | normal the format bits 0x12); references to parameters give the
// parameter's index instead.
struct Assignment {
    State state;
    std::uint32_t index = 0; // stage or world-matrix index, 0 when not written
    std::uint32_t value = 0;
    int parameter = -1;
};

struct Pass {
    std::string name;
    std::vector<Assignment> assignments;
};

struct Technique {
    std::string name;
    std::vector<Pass> passes;
};

struct Effect {
    std::vector<Parameter> parameters;
    std::vector<Technique> techniques;

    int FindParameter(std::string_view name) const;
};

// Limits for hostile text.
constexpr std::size_t kMaxEffectSize = 1u << 20;

// False with a reason (and the line) on anything outside the subset.
bool ParseEffect(std::string_view text, Effect &out, std::string &error);

} // namespace effect
