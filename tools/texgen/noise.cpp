#include "texgen/noise.h"

#include <cmath>

namespace arbolix::texgen {

double Sin(double x) {
    constexpr double kHalfPi = 1.5707963267948966;
    x -= kTwoPi * std::floor(x / kTwoPi + 0.5); // now in [-pi, pi]
    if (x > kHalfPi) {
        x = kPi - x;
    } else if (x < -kHalfPi) {
        x = -kPi - x;
    }
    const double x2 = x * x;
    // Taylor series to the 15th power: the error stays below 1e-11 on [-pi/2, pi/2].
    return x * (1.0 + x2 * (-1.0 / 6.0 +
                            x2 * (1.0 / 120.0 +
                                  x2 * (-1.0 / 5040.0 +
                                        x2 * (1.0 / 362880.0 +
                                              x2 * (-1.0 / 39916800.0 +
                                                    x2 * (1.0 / 6227020800.0 +
                                                          x2 * (-1.0 / 1307674368000.0))))))));
}

double Cos(double x) { return Sin(x + 1.5707963267948966); }

double SmoothStep(double edge0, double edge1, double x) {
    const double t = Clamp((x - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

double Fract(double x) { return x - std::floor(x); }

double WrapDelta(double d, double period) { return d - period * std::floor(d / period + 0.5); }

uint32_t Hash(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return x;
}

uint32_t Hash(uint32_t a, uint32_t b, uint32_t seed) { return Hash(a ^ Hash(b ^ Hash(seed))); }

uint64_t Random::next() {
    // splitmix64
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Random::uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }

int32_t Random::below(int32_t n) { return static_cast<int32_t>(next() % static_cast<uint64_t>(n)); }

Rgb Hex(uint32_t rgb) {
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

Rgb Mix(const Rgb& a, const Rgb& b, double t) {
    return {Mix(a.r, b.r, t), Mix(a.g, b.g, t), Mix(a.b, b.b, t)};
}

Rgb Scale(const Rgb& c, double k) { return {c.r * k, c.g * k, c.b * k}; }

Rgb Add(const Rgb& a, const Rgb& b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }

double Luma(const Rgb& c) { return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b; }

Ramp::Ramp(std::initializer_list<RampStop> stops) {
    for (const RampStop& s : stops) {
        if (count_ < 8) stops_[count_++] = s;
    }
}

Rgb Ramp::operator()(double t) const {
    if (t <= stops_[0].at) return Hex(stops_[0].rgb);
    for (int i = 1; i < count_; ++i) {
        if (t <= stops_[i].at) {
            const double k = (t - stops_[i - 1].at) / (stops_[i].at - stops_[i - 1].at);
            return Mix(Hex(stops_[i - 1].rgb), Hex(stops_[i].rgb), k);
        }
    }
    return Hex(stops_[count_ - 1].rgb);
}

namespace {

// Sixteen unit directions, 22.5 degrees apart.
constexpr double kGradients[16][2] = {
    {1.0, 0.0},
    {0.9238795325112867, 0.3826834323650898},
    {0.7071067811865476, 0.7071067811865476},
    {0.3826834323650898, 0.9238795325112867},
    {0.0, 1.0},
    {-0.3826834323650898, 0.9238795325112867},
    {-0.7071067811865476, 0.7071067811865476},
    {-0.9238795325112867, 0.3826834323650898},
    {-1.0, 0.0},
    {-0.9238795325112867, -0.3826834323650898},
    {-0.7071067811865476, -0.7071067811865476},
    {-0.3826834323650898, -0.9238795325112867},
    {0.0, -1.0},
    {0.3826834323650898, -0.9238795325112867},
    {0.7071067811865476, -0.7071067811865476},
    {0.9238795325112867, -0.3826834323650898},
};

// The quintic fade curve of gradient noise.
double Fade(double t) { return t * t * t * (t * (t * 6.0 - 15.0) + 10.0); }

uint32_t LatticeHash(int32_t i, int32_t j, int32_t periodI, int32_t periodJ, uint32_t seed) {
    return Hash(static_cast<uint32_t>(WrapIndex(i, periodI)),
                static_cast<uint32_t>(WrapIndex(j, periodJ)), seed);
}

// The lattice cell holding (u, v) in cell units, and the position inside it (0 to 1).
struct LatticePoint {
    int32_t i;
    int32_t j;
    double tu;
    double tv;
};

LatticePoint Locate(double u, double v) {
    const double fu = std::floor(u);
    const double fv = std::floor(v);
    return {static_cast<int32_t>(fu), static_cast<int32_t>(fv), u - fu, v - fv};
}

} // namespace

double Field::gradient(double x, double y, int32_t cellsX, int32_t cellsY, uint32_t seed) const {
    const auto [i, j, tu, tv] = Locate(x / width_ * cellsX, y / height_ * cellsY);
    auto dot = [&](int32_t di, int32_t dj) {
        const double* g = kGradients[LatticeHash(i + di, j + dj, cellsX, cellsY, seed) & 15u];
        return g[0] * (tu - di) + g[1] * (tv - dj);
    };
    const double su = Fade(tu);
    const double sv = Fade(tv);
    const double a = Mix(dot(0, 0), dot(1, 0), su);
    const double b = Mix(dot(0, 1), dot(1, 1), su);
    return Clamp(Mix(a, b, sv) * 1.4142135623730951, -1.0, 1.0);
}

double Field::value(double x, double y, int32_t cellsX, int32_t cellsY, uint32_t seed) const {
    const auto [i, j, tu, tv] = Locate(x / width_ * cellsX, y / height_ * cellsY);
    auto at = [&](int32_t di, int32_t dj) { return HashUnit(LatticeHash(i + di, j + dj, cellsX, cellsY, seed)); };
    const double su = Fade(tu);
    const double sv = Fade(tv);
    return Mix(Mix(at(0, 0), at(1, 0), su), Mix(at(0, 1), at(1, 1), su), sv);
}

double Field::fbm(double x, double y, int32_t cellsX, int32_t cellsY, int octaves, double gain,
                  uint32_t seed) const {
    double sum = 0.0;
    double weight = 1.0;
    double total = 0.0;
    for (int o = 0; o < octaves; ++o) {
        sum += weight * gradient(x, y, cellsX, cellsY, seed + 977u * static_cast<uint32_t>(o));
        total += weight;
        weight *= gain;
        cellsX *= 2;
        cellsY *= 2;
    }
    return sum / total;
}

double Field::turbulence(double x, double y, int32_t cellsX, int32_t cellsY, int octaves, double gain,
                         uint32_t seed) const {
    double sum = 0.0;
    double weight = 1.0;
    double total = 0.0;
    for (int o = 0; o < octaves; ++o) {
        const double n = gradient(x, y, cellsX, cellsY, seed + 977u * static_cast<uint32_t>(o));
        sum += weight * (n < 0 ? -n : n);
        total += weight;
        weight *= gain;
        cellsX *= 2;
        cellsY *= 2;
    }
    return sum / total;
}

double Field::wave(double x, double y, int32_t kx, int32_t ky, double phase) const {
    return Sin(kTwoPi * (kx * x / width_ + ky * y / height_) + phase);
}

Field::Cells Field::cells(double x, double y, int32_t cellsX, int32_t cellsY, double jitter,
                          uint32_t seed, double stretchY) const {
    const double cw = static_cast<double>(width_) / cellsX;
    const double ch = static_cast<double>(height_) / cellsY;
    const int32_t ci = static_cast<int32_t>(std::floor(x / cw));
    const int32_t cj = static_cast<int32_t>(std::floor(y / ch));
    Cells out;
    out.f1 = 1e30;
    out.f2 = 1e30;
    for (int32_t dj = -2; dj <= 2; ++dj) {
        for (int32_t di = -2; di <= 2; ++di) {
            const int32_t i = ci + di;
            const int32_t j = cj + dj;
            const uint32_t h = LatticeHash(i, j, cellsX, cellsY, seed);
            const double px = (i + 0.5 + jitter * (HashUnit(h) - 0.5)) * cw;
            const double py = (j + 0.5 + jitter * (HashUnit(Hash(h)) - 0.5)) * ch;
            const double ddx = x - px;
            const double ddy = y - py;
            const double sy = ddy / stretchY;
            const double d = std::sqrt(ddx * ddx + sy * sy);
            if (d < out.f1) {
                out.f2 = out.f1;
                out.f1 = d;
                out.dx = ddx;
                out.dy = ddy;
                out.id = h;
            } else if (d < out.f2) {
                out.f2 = d;
            }
        }
    }
    return out;
}

double Field::grain(double x, double y, uint32_t seed) const {
    const int32_t i = WrapIndex(static_cast<int32_t>(std::floor(x)), width_);
    const int32_t j = WrapIndex(static_cast<int32_t>(std::floor(y)), height_);
    return HashUnit(Hash(static_cast<uint32_t>(i), static_cast<uint32_t>(j), seed));
}

} // namespace arbolix::texgen
