// The effect-language subset: the reflection effect's text resolved to states and values, the
// forms the language allows around it, and refusal of anything outside the subset.
#include "platform/d3dx/effect_parser.h"

#include "fixture_files.h"

#include <gtest/gtest.h>

namespace {

using effect::Assignment;
using effect::State;

std::string ReflectionText() {
    const auto bytes = testing_xfile::ReadFixture("effect/reflection.fx");
    return std::string(bytes.begin(), bytes.end());
}

TEST(EffectParser, ResolvesTheReflectionEffect) {
    const std::string text = ReflectionText();
    ASSERT_EQ(text.size(), 535u);
    effect::Effect fx;
    std::string error;
    ASSERT_TRUE(effect::ParseEffect(text, fx, error)) << error;

    ASSERT_EQ(fx.parameters.size(), 4u);
    EXPECT_EQ(fx.parameters[0].type, effect::ParameterType::Texture);
    EXPECT_EQ(fx.parameters[0].name, "texCubeMap");
    EXPECT_EQ(fx.FindParameter("matProject"), 3);
    EXPECT_EQ(fx.FindParameter("nothing"), -1);

    ASSERT_EQ(fx.techniques.size(), 1u);
    EXPECT_EQ(fx.techniques[0].name, "Cube");
    ASSERT_EQ(fx.techniques[0].passes.size(), 1u);
    const effect::Pass &pass = fx.techniques[0].passes[0];
    EXPECT_EQ(pass.name, "P0");

    struct Expected {
        State state;
        std::uint32_t index, value;
        int parameter;
    };
    const Expected expected[] = {
        {State::ZFunc, 0, 4, -1},
        {State::ZWriteEnable, 0, 1, -1},
        {State::VertexShader, 0, 0x12, -1},
        {State::WorldTransform, 0, 0, 1},
        {State::ViewTransform, 0, 0, 2},
        {State::ProjectionTransform, 0, 0, 3},
        {State::Texture, 0, 0, 0},
        {State::MinFilter, 0, 2, -1},
        {State::MagFilter, 0, 2, -1},
        {State::AddressU, 0, 3, -1},
        {State::AddressV, 0, 3, -1},
        {State::AddressW, 0, 3, -1},
        {State::ColorOp, 0, 2, -1},
        {State::ColorArg1, 0, 2, -1},
        {State::TexCoordIndex, 0, 0x30000, -1},
        {State::TextureTransformFlags, 0, 3, -1},
    };
    ASSERT_EQ(pass.assignments.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const Assignment &a = pass.assignments[i];
        EXPECT_EQ(a.state, expected[i].state) << i;
        EXPECT_EQ(a.index, expected[i].index) << i;
        EXPECT_EQ(a.value, expected[i].value) << i;
        EXPECT_EQ(a.parameter, expected[i].parameter) << i;
    }
    EXPECT_EQ(effect::GroupOf(State::ZFunc), effect::StateGroup::Render);
    EXPECT_EQ(effect::GroupOf(State::Texture), effect::StateGroup::Texture);
    EXPECT_EQ(effect::GroupOf(State::AddressW), effect::StateGroup::TextureStage);
    EXPECT_EQ(effect::GroupOf(State::ViewTransform), effect::StateGroup::Transform);
}

TEST(EffectParser, AcceptsTheLanguagesOtherSpellings) {
    effect::Effect fx;
    std::string error;
    ASSERT_TRUE(effect::ParseEffect(R"(// comments of both kinds
/* several
   lines */ MATRIX m; texture t;
technique { pass { vertexshader = (XYZ | Normal | tex1); cullmode = none;
  colorop[1] = modulate; colorarg2[1] = 3; texture[1] = <t>; worldtransform[2] = <m>; }
  pass second { zenable = false; } }
technique Other { }
)",
                                    fx, error))
        << error;
    ASSERT_EQ(fx.techniques.size(), 2u);
    EXPECT_EQ(fx.techniques[0].name, "");
    ASSERT_EQ(fx.techniques[0].passes.size(), 2u);
    const auto &a = fx.techniques[0].passes[0].assignments;
    ASSERT_EQ(a.size(), 6u);
    EXPECT_EQ(a[0].value, 0x112u);
    EXPECT_EQ(a[1].value, 1u);
    EXPECT_EQ(a[2].index, 1u);
    EXPECT_EQ(a[2].value, 4u);
    EXPECT_EQ(a[3].value, 3u);
    EXPECT_EQ(a[4].parameter, 1);
    EXPECT_EQ(a[5].index, 2u);
    EXPECT_EQ(fx.techniques[0].passes[1].name, "second");
    EXPECT_TRUE(fx.techniques[1].passes.empty());
}

TEST(EffectParser, RefusesTextOutsideTheSubsetWithTheLine) {
    const std::string head = "texture t;\nmatrix m;\ntechnique T\n{\npass P\n{\n";
    struct Case {
        const char *what;
        std::string text;
        const char *reason;
    } cases[] = {
        {"unknown state", head + "FogEnable = true;\n}\n}", "line 7: unknown state"},
        {"unknown value", head + "ZFunc = Sometimes;\n}\n}", "not a value of ZFunc"},
        {"value of another state", head + "ColorOp[0] = Clamp;\n}\n}", "not a value"},
        {"stage out of range", head + "ColorOp[8] = Add;\n}\n}", "index out of range"},
        {"undeclared parameter", head + "ViewTransform = <view>;\n}\n}", "not a declared"},
        {"texture as a matrix", head + "ViewTransform = <t>;\n}\n}", "not a declared matrix"},
        {"matrix as a texture", head + "Texture[0] = <m>;\n}\n}", "not a declared texture"},
        {"missing semicolon", head + "ZFunc = Less\n}\n}", "line 8: expected ';'"},
        {"flags on a plain state", head + "ZFunc = Less | Equal;\n}\n}", "expected ';'"},
        {"unclosed pass", head + "ZFunc = Less;\n", "expected a state name"},
        {"unclosed comment", head + "/* ZFunc = Less;\n}\n}", "unclosed comment"},
        {"number too large", head + "ZFunc = 99999999999;\n}\n}", "expected a value"},
        {"no technique", "texture t;", "no technique"},
        {"declared twice", "texture t; matrix t; technique {}", "declared twice"},
        {"unknown type", "sampler s; technique {}", "unknown type"},
        {"stray character", "technique { pass { ZFunc = Less; } } $", "line 1"},
    };
    for (const Case &c : cases) {
        effect::Effect fx;
        std::string error;
        EXPECT_FALSE(effect::ParseEffect(c.text, fx, error)) << c.what;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.what << ": " << error;
        EXPECT_TRUE(fx.techniques.empty() && fx.parameters.empty()) << c.what;
    }
}

} // namespace
