#pragma once
// Deterministic random numbers for the sample generator. The standard distributions differ between
// library implementations, so the conversions are written out here: the same seed gives the same
// numbers everywhere, which keeps the generated files byte-identical.

#include <cstdint>

class SampleRng
{
public:
    explicit SampleRng(std::uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {}

    // splitmix64
    std::uint64_t next()
    {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double uniform() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    double uniform(double low, double high) { return low + (high - low) * uniform(); }
    // Uniform integer in [0, count); count must be positive.
    int below(int count) { return int(next() % std::uint64_t(count)); }

private:
    std::uint64_t state;
};
