// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <random>
#include <string>

// Replaces each byte, with the given probability, by a different random byte,
// for testing how the receiver copes with line noise.
class ByteGarbler {
  public:
    ByteGarbler(double rate, uint32_t seed) : rate_(rate), random_(seed) {}

    // Returns the number of bytes changed.
    int Apply(std::string& bytes);

  private:
    double rate_;
    std::mt19937 random_;
};
