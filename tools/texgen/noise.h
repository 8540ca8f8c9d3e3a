#pragma once
// Deterministic building blocks of the texture generator: a hash, a random sequence, colour
// helpers and noise that repeats with the picture's own period in both directions.
//
// Everything here uses only additions, multiplications, divisions, floor and sqrt, which give the
// same bits on every IEEE machine, so a texture is the same file wherever it is made.

#include <cstdint>
#include <initializer_list>

namespace arbolix::texgen {

// ---- Scalars ----

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;

double Sin(double x);
double Cos(double x);
inline double Clamp(double v, double lo = 0.0, double hi = 1.0) { return v < lo ? lo : (v > hi ? hi : v); }
inline double Mix(double a, double b, double t) { return a + (b - a) * t; }
// 0 below `edge0`, 1 above `edge1`, a smooth S-curve between.
double SmoothStep(double edge0, double edge1, double x);
// x - floor(x).
double Fract(double x);
// The offset d + k × period nearest to zero (the shortest way between two points on a torus).
double WrapDelta(double d, double period);
// Non-negative remainder of an integer division.
inline int32_t WrapIndex(int32_t i, int32_t period) {
    const int32_t r = i % period;
    return r < 0 ? r + period : r;
}

// ---- Hash and random numbers ----

uint32_t Hash(uint32_t x);
uint32_t Hash(uint32_t a, uint32_t b, uint32_t seed);
// A number in [0, 1) made from a hash.
inline double HashUnit(uint32_t h) { return static_cast<double>(h >> 8) * (1.0 / 16777216.0); }

class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t next();
    double uniform(); // [0, 1)
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    int32_t below(int32_t n); // [0, n)

private:
    uint64_t state_;
};

// ---- Colours ----

struct Rgb {
    double r = 0, g = 0, b = 0;
};
Rgb Hex(uint32_t rgb); // 0xRRGGBB
Rgb Mix(const Rgb& a, const Rgb& b, double t);
Rgb Scale(const Rgb& c, double k);
Rgb Add(const Rgb& a, const Rgb& b);
double Luma(const Rgb& c);

// A colour ramp: stops at increasing positions; positions outside clamp to the end colours.
struct RampStop {
    double at;
    uint32_t rgb;
};
class Ramp {
public:
    Ramp(std::initializer_list<RampStop> stops);
    Rgb operator()(double t) const;

private:
    RampStop stops_[8];
    int count_ = 0;
};

// ---- Periodic noise ----
//
// The picture is `width` × `height` pixels; noise is asked for at pixel coordinates and spans
// `cellsX` × `cellsY` lattice cells over the whole picture, so it repeats exactly after `width`
// and `height` pixels whatever they are.

class Field {
public:
    Field(int32_t width, int32_t height) : width_(width), height_(height) {}
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }

    // Gradient noise, about -1..1.
    double gradient(double x, double y, int32_t cellsX, int32_t cellsY, uint32_t seed) const;
    // Value noise, 0..1.
    double value(double x, double y, int32_t cellsX, int32_t cellsY, uint32_t seed) const;
    // Sum of `octaves` gradient noises, each with twice the cells and `gain` times the weight of
    // the one before; divided by the sum of the weights (about -1..1).
    double fbm(double x, double y, int32_t cellsX, int32_t cellsY, int octaves, double gain,
               uint32_t seed) const;
    // Like fbm with the absolute value of each octave (0..1, billowy).
    double turbulence(double x, double y, int32_t cellsX, int32_t cellsY, int octaves, double gain,
                      uint32_t seed) const;
    // A sine wave making `kx` periods across and `ky` down (integers, so it repeats).
    double wave(double x, double y, int32_t kx, int32_t ky, double phase) const;

    // Cellular noise: one jittered point per cell of a cellsX × cellsY grid. Vertical distances
    // count 1 / stretchY as much as horizontal ones, so a stretchY above 1 makes tall cells.
    struct Cells {
        double f1 = 0, f2 = 0; // distances in pixels to the nearest and second nearest point
        double dx = 0, dy = 0; // offset from the nearest point to the sample
        uint32_t id = 0;       // hash of the nearest point's cell (the same for its copies)
    };
    Cells cells(double x, double y, int32_t cellsX, int32_t cellsY, double jitter, uint32_t seed,
                double stretchY = 1.0) const;

    // Hash of the pixel that holds (x, y), wrapped to the picture (white noise, 0..1).
    double grain(double x, double y, uint32_t seed) const;

    double wrapDx(double dx) const { return WrapDelta(dx, width_); }
    double wrapDy(double dy) const { return WrapDelta(dy, height_); }

private:
    int32_t width_;
    int32_t height_;
};

} // namespace arbolix::texgen
