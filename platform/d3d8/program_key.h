// The state key that picks one program of the fixed-function family: everything that changes the
// generated code, and nothing that only changes uniform values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace d3d8 {

constexpr int kMaxStages = 8;
constexpr int kMaxLights = 8;

enum class TextureKind : std::uint8_t { None = 0, Flat = 1, Cube = 2 };

struct StageKey {
    std::uint8_t colorOp = 0;      // 0 ends the stage chain
    std::uint8_t colorArg[3] = {}; // arg0, arg1, arg2 with their modifier bits
    std::uint8_t alphaOp = 0;
    std::uint8_t alphaArg[3] = {};
    TextureKind texture = TextureKind::None;
    std::uint8_t coordSet = 0;  // vertex coordinate set read (after the fall-back)
    std::uint8_t coordDims = 0; // its floats, 0 when the vertex has no set at all
    std::uint8_t texGen = 0;    // 0 pass-through, 1 normal, 2 position, 3 reflection vector
    std::uint8_t transform = 0; // 0 off, else count of output coordinates
    std::uint8_t projected = 0;
    std::uint8_t resultTemp = 0;
    std::uint8_t unused = 0;
};

struct ProgramKey {
    std::uint8_t pretransformed = 0;
    std::uint8_t hasNormal = 0;
    std::uint8_t hasDiffuse = 0;
    std::uint8_t hasSpecular = 0;
    std::uint8_t texSets = 0;
    std::uint8_t texDims[8] = {};
    std::uint8_t lighting = 0;
    std::uint8_t lightCount = 0;
    // The enabled lights' types in index order: the program is written for exactly these lights.
    std::uint8_t lightTypes[kMaxLights] = {};
    std::uint8_t specularEnable = 0;
    std::uint8_t normalize = 0;
    std::uint8_t localViewer = 0;
    std::uint8_t diffuseSource = 0; // material colour sources after the vertex-colour check
    std::uint8_t ambientSource = 0;
    std::uint8_t specularSource = 0;
    std::uint8_t emissiveSource = 0;
    std::uint8_t alphaFunc = 0; // 0 when alpha testing is off
    std::uint8_t stageCount = 0;
    StageKey stages[kMaxStages] = {};

    bool operator==(const ProgramKey &other) const {
        return std::memcmp(this, &other, sizeof(*this)) == 0;
    }
};

// Eight bytes of the key at a time: it is looked up whenever a state that picks the program
// changes, which can be every few draws.
struct ProgramKeyHash {
    std::size_t operator()(const ProgramKey &key) const {
        const auto *bytes = reinterpret_cast<const unsigned char *>(&key);
        std::uint64_t hash = 1469598103934665603ull;
        std::size_t i = 0;
        for (; i + 8 <= sizeof(key); i += 8) {
            std::uint64_t word;
            std::memcpy(&word, bytes + i, 8);
            hash = (hash ^ word) * 1099511628211ull;
            hash ^= hash >> 32;
        }
        for (; i < sizeof(key); ++i)
            hash = (hash ^ bytes[i]) * 1099511628211ull;
        return static_cast<std::size_t>(hash);
    }
};

} // namespace d3d8
