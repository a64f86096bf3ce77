// GLSL (330 core) source of the fixed-function programs, generated from a state key.
#pragma once

#include "platform/d3d8/program_key.h"

#include <string>

namespace d3d8 {

// Attribute locations shared by the generated code and the vertex set-up of draws.
constexpr int kPositionAttribute = 0;
constexpr int kNormalAttribute = 1;
constexpr int kDiffuseAttribute = 2;
constexpr int kSpecularAttribute = 3;
constexpr int kTexCoordAttribute = 4; // sets 0..7 at 4..11

std::string VertexShaderSource(const ProgramKey &key);
std::string FragmentShaderSource(const ProgramKey &key);

} // namespace d3d8
