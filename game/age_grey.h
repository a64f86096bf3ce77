// The grey level of a fading effect (explosion ring, smoke puff): 255 at age 0, falling by 128
// per second, truncated and kept within 0..255.
#pragma once

inline int GreyForAge(float age) {
    const float value = 255.0f - age * 128.0f;
    // Limit before converting so that a huge or NaN age cannot overflow the conversion.
    if (!(value >= 0.0f))
        return 0;
    if (value >= 255.0f)
        return 255;
    return static_cast<int>(value);
}
