#include "texgen/painters.h"

#include <cmath>
#include <vector>

namespace arbolix::texgen {

namespace {

double Pow2(double v) { return v * v; }
double Pow4(double v) { return Pow2(Pow2(v)); }
double Pow8(double v) { return Pow2(Pow4(v)); }
double Abs(double v) { return v < 0 ? -v : v; }
// -1..1 to 0..1.
double Unit(double v) { return 0.5 + 0.5 * v; }

Rgb Multiply(const Rgb& c, const Rgb& filter) { return {c.r * filter.r, c.g * filter.g, c.b * filter.b}; }

// ---- Woods, stones and minerals ----

Painter Wood(const Field& f) {
    const Ramp ramp{{0.0, 0xE8BC86}, {0.45, 0xD29A5E}, {0.75, 0xB27543}, {1.0, 0x85522B}};
    return [f, ramp](double x, double y) {
        const double warp = 0.35 * f.fbm(x, y, 2, 1, 3, 0.5, 11) + 0.15 * f.fbm(x, y, 2, 5, 3, 0.5, 12);
        const double ring = Fract(y / f.height() * 9.0 + 2.2 * warp);
        // Early wood grows light and slowly darkens; the late wood ends each ring.
        const double late = Pow2(ring) * ring;
        const double fibres = f.fbm(x, y, 2, 48, 3, 0.6, 13);
        const double pores = f.value(x, y, 16, 128, 14);
        const double figure = f.fbm(x, y, 3, 6, 3, 0.5, 15);
        const double v = 0.45 * late + 0.24 * Unit(fibres) + 0.12 * pores + 0.19 * Unit(figure);
        return ramp(v);
    };
}

Painter Marble(const Field& f) {
    return [f](double x, double y) {
        const double turbulence = f.turbulence(x, y, 2, 2, 4, 0.45, 21);
        const double vein = Pow8(1.0 - Abs(f.wave(x, y, 1, 2, 6.0 * turbulence)));
        const double turbulence2 = f.turbulence(x, y, 3, 3, 4, 0.45, 22);
        const double vein2 = Pow8(Pow2(1.0 - Abs(f.wave(x, y, 2, -1, 5.0 * turbulence2))));
        const double cloud = Unit(f.fbm(x, y, 2, 2, 4, 0.55, 23));
        Rgb c = Mix(Hex(0xF6F4F0), Hex(0xDDD8D0), cloud);
        c = Mix(c, Hex(0xBDB8B0), 0.5 * vein2);
        c = Mix(c, Hex(0x868D96), 0.7 * vein);
        return c;
    };
}

Painter Stone(const Field& f) {
    const Ramp ramp{{0.0, 0x6F6A62}, {0.5, 0x9D978C}, {1.0, 0xCCC5B7}};
    return [f, ramp](double x, double y) {
        const double n = f.fbm(x, y, 3, 3, 6, 0.55, 61);
        const double wx = x + 4.0 * f.gradient(x, y, 4, 4, 64);
        const double wy = y + 4.0 * f.gradient(x, y, 4, 4, 65);
        const Field::Cells c = f.cells(wx, wy, 4, 4, 0.9, 62);
        double crack = 1.0 - SmoothStep(0.0, 1.4, c.f2 - c.f1);
        crack *= SmoothStep(-0.25, 0.25, f.fbm(x, y, 4, 4, 3, 0.5, 63));
        const double speck = f.grain(x, y, 66);
        Rgb col = ramp(Unit(n) + 0.08 * (speck - 0.5));
        col = Scale(col, 1.0 - 0.45 * crack);
        return col;
    };
}

Painter Granite(const Field& f) {
    return [f](double x, double y) {
        const Field::Cells c = f.cells(x, y, 36, 36, 1.0, 111);
        const double kind = HashUnit(c.id);
        Rgb col;
        if (kind < 0.14) {
            col = Hex(0x2C2B2D);
        } else if (kind < 0.42) {
            col = Hex(0x8D8B89);
        } else if (kind < 0.72) {
            col = Hex(0xC29A8C);
        } else {
            col = Hex(0xE3E0DB);
        }
        const Field::Cells big = f.cells(x, y, 9, 9, 1.0, 112);
        if (HashUnit(big.id) < 0.35 && big.f2 - big.f1 > 5.0) col = Hex(0xB98576);
        if (HashUnit(big.id) > 0.85 && big.f2 - big.f1 > 6.0) col = Hex(0x3A3838);
        const double shade = 0.92 + 0.12 * HashUnit(Hash(c.id)) - 0.1 * (1.0 - SmoothStep(0.0, 0.8, c.f2 - c.f1));
        return Scale(col, shade + 0.05 * (f.grain(x, y, 113) - 0.5));
    };
}

Painter Slate(const Field& f) {
    const Ramp ramp{{0.0, 0x2F363D}, {0.5, 0x4A555F}, {1.0, 0x6C7883}};
    return [f, ramp](double x, double y) {
        const double layers = f.fbm(x, y, 2, 6, 5, 0.55, 171);
        const double lamination = f.fbm(x, y, 1, 32, 3, 0.5, 172);
        const double rough = f.fbm(x, y, 12, 12, 2, 0.5, 173);
        const double tint = Unit(f.fbm(x, y, 2, 2, 3, 0.5, 174));
        Rgb c = ramp(Unit(0.6 * layers + 0.25 * lamination + 0.2 * rough) + 0.06 * (f.grain(x, y, 175) - 0.5));
        c = Mix(c, Hex(0x4C5A4E), 0.3 * tint);
        // Faint lighter bands where the stone split along its layers.
        const double split = SmoothStep(0.55, 0.85, Unit(f.fbm(x, y, 1, 10, 3, 0.5, 176)));
        return Mix(c, Hex(0x7E8A94), 0.35 * split);
    };
}

Painter Concrete(const Field& f) {
    const Ramp ramp{{0.0, 0x807D78}, {0.5, 0xA8A59F}, {1.0, 0xCAC7C1}};
    return [f, ramp](double x, double y) {
        double v = 0.5 + 0.32 * f.fbm(x, y, 2, 2, 5, 0.55, 231) + 0.12 * f.fbm(x, y, 16, 16, 2, 0.5, 232) +
                   0.16 * (f.grain(x, y, 233) - 0.5);
        const Field::Cells c = f.cells(x, y, 14, 14, 1.0, 234);
        if (HashUnit(c.id) < 0.3) {
            const double radius = 0.6 + 1.4 * HashUnit(Hash(c.id));
            v -= 0.45 * (1.0 - SmoothStep(radius * 0.5, radius + 0.6, c.f1));
        }
        if (f.grain(x, y, 235) > 0.975) v += 0.18;
        return ramp(v);
    };
}

Painter Rust(const Field& f) {
    const Ramp ramp{{0.0, 0x4A2414}, {0.35, 0x7F3C1B}, {0.65, 0xB2622B}, {1.0, 0xDA9752}};
    return [f, ramp](double x, double y) {
        const double m1 = f.fbm(x, y, 3, 3, 6, 0.55, 221);
        const double m2 = f.fbm(x, y, 8, 8, 4, 0.5, 222);
        double v = Unit(0.75 * m1 + 0.35 * m2) + 0.08 * (f.grain(x, y, 225) - 0.5);
        const Field::Cells c = f.cells(x, y, 12, 12, 1.0, 223);
        if (HashUnit(c.id) < 0.4) v -= 0.4 * (1.0 - SmoothStep(0.4, 2.4, c.f1));
        Rgb col = ramp(v);
        const double metal = SmoothStep(0.3, 0.45, f.fbm(x, y, 2, 2, 4, 0.5, 224));
        col = Mix(col, Scale(Hex(0x6E6660), 0.85 + 0.3 * Unit(m2)), 0.8 * metal);
        return col;
    };
}

Painter Pebbles(const Field& f) {
    static constexpr uint32_t kStones[] = {0x8E8B86, 0xB6A891, 0x6E7A84, 0xA3715A,
                                           0xD4CDC0, 0x5F5B56, 0x9E8C6F, 0xC2B49C};
    auto height = [f](double x, double y, uint32_t& id, double& depth) {
        const double wx = x + 1.5 * f.gradient(x, y, 8, 6, 282);
        const double wy = y + 1.5 * f.gradient(x, y, 8, 6, 283);
        const Field::Cells c = f.cells(wx, wy, 8, 6, 0.8, 281);
        const double radius = 8.0 + 2.5 * HashUnit(Hash(c.id, 1, 284));
        const double edge = std::fmin(0.5 * (c.f2 - c.f1), radius - c.f1);
        id = c.id;
        depth = edge;
        return std::sqrt(Clamp((edge - 1.2) / 6.0));
    };
    return [f, height](double x, double y) {
        uint32_t id = 0;
        double edge = 0;
        const double h = height(x, y, id, edge);
        const double gritNoise = f.grain(x, y, 285);
        if (edge < 1.2) {
            // The sand between the pebbles, darker deep in the joints.
            const double shadow = SmoothStep(-2.5, 1.2, edge);
            return Scale(Mix(Hex(0x5A5044), Hex(0x8A7C66), gritNoise), 0.6 + 0.4 * shadow);
        }
        uint32_t unused = 0;
        double unusedEdge = 0;
        const double hl = height(x - 1.0, y - 1.0, unused, unusedEdge);
        const double hr = height(x + 1.0, y + 1.0, unused, unusedEdge);
        const double light = Clamp(0.86 + 0.45 * (hl - hr) + 0.12 * h, 0.5, 1.2);
        Rgb stone = Hex(kStones[Hash(id, 2, 286) % 8]);
        stone = Scale(stone, 0.9 + 0.2 * HashUnit(Hash(id, 3, 287)));
        const double mottle = f.fbm(x, y, 16, 12, 3, 0.5, 288);
        stone = Scale(stone, 1.0 + 0.1 * mottle + 0.06 * (gritNoise - 0.5));
        if (f.grain(x, y, 289) > 0.97) stone = Scale(stone, 0.75);
        Rgb c = Scale(stone, light);
        // A soft highlight towards the light.
        const double shine = Pow4(Clamp(1.0 - Abs(h - 0.85) * 4.0)) * Clamp((hl - hr) * 6.0);
        return Mix(c, Hex(0xFFFFFF), 0.18 * shine);
    };
}

Painter Terrazzo(const Field& f) {
    static constexpr uint32_t kChips[] = {0xB5563A, 0x7E9C86, 0x3D3F42, 0xD8A24A,
                                          0x9AA5B1, 0xC98B7A, 0x5E6F5A, 0xF4EFE6};
    return [f](double x, double y) {
        Rgb c = Mix(Hex(0xEFE9DE), Hex(0xE0D8C9), Unit(f.fbm(x, y, 3, 3, 4, 0.5, 193)));
        c = Scale(c, 1.0 + 0.04 * (f.grain(x, y, 194) - 0.5));
        const double w = f.width();
        const Field::Cells small = f.cells(x, y, 24, 24, 1.0, 192);
        if (HashUnit(small.id) < 0.55 && small.f2 - small.f1 > w / 24.0 * (0.35 + 0.3 * HashUnit(Hash(small.id)))) {
            c = Scale(Hex(kChips[Hash(small.id, 1, 195) % 8]), 0.92 + 0.12 * f.grain(x, y, 196));
        }
        const Field::Cells big = f.cells(x, y, 9, 9, 0.9, 191);
        if (HashUnit(big.id) < 0.7 && big.f2 - big.f1 > w / 9.0 * (0.3 + 0.3 * HashUnit(Hash(big.id)))) {
            c = Hex(kChips[Hash(big.id, 2, 197) % 7]);
            c = Scale(c, 0.9 + 0.1 * Unit(f.fbm(x, y, 16, 16, 2, 0.5, 198)) + 0.05 * f.grain(x, y, 199));
        }
        if (f.grain(x, y, 190) > 0.99) c = Hex(0x4A4A4A);
        return c;
    };
}

Painter Sand(const Field& f) {
    const Ramp ramp{{0.0, 0xB8965F}, {0.5, 0xD7BB86}, {1.0, 0xEEDAAE}};
    return [f, ramp](double x, double y) {
        const double wx = x + 5.0 * f.fbm(x, y, 2, 2, 3, 0.5, 93);
        const double wy = y + 5.0 * f.fbm(x, y, 2, 2, 3, 0.5, 94);
        const double ripple = f.wave(wx, wy, 2, 5, 0.0);
        const double clumps = f.value(x, y, f.width() / 2, f.height() / 2, 95);
        const double v = 0.55 + 0.12 * ripple + 0.28 * (f.grain(x, y, 91) - 0.5) + 0.12 * (clumps - 0.5) +
                         0.1 * f.fbm(x, y, 3, 3, 3, 0.5, 96);
        Rgb c = ramp(v);
        const double speck = f.grain(x, y, 92);
        if (speck > 0.975) c = Mix(c, Hex(0x6B5034), 0.6);
        if (speck < 0.02) c = Mix(c, Hex(0xFFF8EA), 0.7);
        return c;
    };
}

// ---- Papers and plants ----

Painter Paper(const Field& f) {
    return [f](double x, double y) {
        const double mottle = f.fbm(x, y, 3, 3, 4, 0.5, 31);
        const double fibre1 = Pow8(Pow2(1.0 - Abs(f.fbm(x, y, 6, 6, 3, 0.5, 32))));
        const double fibre2 = Pow8(Pow2(1.0 - Abs(f.fbm(x, y, 7, 5, 3, 0.5, 33))));
        Rgb c = Hex(0xF4F1E8);
        c = Scale(c, 1.0 + 0.025 * mottle + 0.03 * (f.grain(x, y, 34) - 0.5));
        c = Mix(c, Hex(0xE2DDD0), 0.5 * fibre1);
        c = Mix(c, Hex(0xFFFFFC), 0.6 * fibre2);
        return c;
    };
}

Painter Parchment(const Field& f) {
    const Ramp ramp{{0.0, 0xC29B62}, {0.45, 0xDDBF8B}, {1.0, 0xF2E3C0}};
    return [f, ramp](double x, double y) {
        const double blotch = f.fbm(x, y, 3, 3, 5, 0.55, 41);
        const double stain = SmoothStep(0.25, 0.6, f.fbm(x, y, 2, 2, 4, 0.6, 42));
        const double fibres = Pow8(1.0 - Abs(f.fbm(x, y, 5, 8, 3, 0.5, 43)));
        double v = 0.68 + 0.35 * blotch - 0.35 * stain + 0.06 * (f.grain(x, y, 44) - 0.5);
        Rgb c = ramp(v);
        c = Mix(c, Hex(0xB48850), 0.18 * fibres);
        if (f.grain(x, y, 45) > 0.997) c = Mix(c, Hex(0x7A5A32), 0.4);
        return c;
    };
}

Painter Cork(const Field& f) {
    const Ramp ramp{{0.0, 0x86592F}, {0.5, 0xB8895A}, {1.0, 0xDDB586}};
    return [f, ramp](double x, double y) {
        const Field::Cells c = f.cells(x, y, 26, 26, 1.0, 81);
        const double tone = HashUnit(c.id);
        const double rim = 1.0 - SmoothStep(0.0, 1.2, c.f2 - c.f1);
        double v = 0.25 + 0.55 * tone + 0.2 * Unit(f.fbm(x, y, 4, 4, 3, 0.5, 83)) - 0.18 * rim +
                   0.08 * (f.grain(x, y, 84) - 0.5);
        const Field::Cells pores = f.cells(x, y, 11, 11, 1.0, 82);
        if (HashUnit(pores.id) < 0.45) {
            const double radius = 0.8 + 1.8 * HashUnit(Hash(pores.id));
            v -= 0.7 * (1.0 - SmoothStep(radius, radius + 0.8, pores.f1));
        }
        return ramp(v);
    };
}

Painter Moss(const Field& f) {
    const Ramp ramp{{0.0, 0x26401A}, {0.35, 0x46662A}, {0.7, 0x76963A}, {1.0, 0xB2C25C}};
    return [f, ramp](double x, double y) {
        const double cell = static_cast<double>(f.width()) / 16.0;
        const Field::Cells c = f.cells(x, y, 16, 16, 1.0, 151);
        const double dome = Clamp(1.0 - Pow2(c.f1 / (cell * 0.8)));
        const double tone = HashUnit(c.id);
        const double fine = f.fbm(x, y, 16, 16, 3, 0.6, 152);
        const double fronds = Pow4(1.0 - Abs(f.gradient(x, y, 32, 32, 153)));
        double v = 0.32 * dome + 0.2 * tone + 0.28 * Unit(fine) + 0.18 * fronds + 0.1 * (f.grain(x, y, 154) - 0.5);
        v += 0.15 * f.fbm(x, y, 2, 2, 3, 0.5, 155);
        Rgb col = ramp(v);
        if (f.grain(x, y, 156) > 0.975) col = Mix(col, Hex(0xD4D872), 0.7);
        return col;
    };
}

Painter Bark(const Field& f) {
    const Ramp ramp{{0.0, 0x22190F}, {0.35, 0x4A3A2C}, {0.7, 0x77644F}, {1.0, 0x9C8A73}};
    return [f, ramp](double x, double y) {
        const double wx = x + 4.0 * f.fbm(x, y, 2, 3, 3, 0.5, 162);
        const Field::Cells c = f.cells(wx, y, 8, 2, 0.9, 161, 3.5);
        const double gap = c.f2 - c.f1 + 2.5 * f.fbm(x, y, 8, 8, 3, 0.5, 166);
        const double fissure = 1.0 - SmoothStep(0.5, 4.5, gap);
        const double ridge = Clamp(gap / 12.0);
        const double fibres = f.fbm(wx, y, 24, 3, 3, 0.55, 163);
        const double rough = f.fbm(x, y, 16, 8, 3, 0.55, 164);
        const double plate = HashUnit(c.id);
        double v = 0.28 + 0.12 * fibres + 0.18 * rough + 0.1 * (plate - 0.5) + 0.35 * ridge +
                   0.1 * (f.grain(x, y, 165) - 0.5);
        v -= 0.45 * fissure;
        return ramp(v);
    };
}

Painter Wheat(const Field& f) {
    struct Ear {
        double x, y;         // base of the ear
        double dirX, dirY;   // towards the tip
        double length;       // of the ear
        double tone;
    };
    std::vector<Ear> ears;
    Random random(271);
    for (int i = 0; i < 52; ++i) {
        Ear e;
        e.x = random.range(0.0, f.width());
        e.y = random.range(0.0, f.height());
        const double angle = random.range(-0.3, 0.3);
        e.dirX = Sin(angle);
        e.dirY = -Cos(angle);
        e.length = random.range(26.0, 36.0);
        e.tone = random.uniform();
        ears.push_back(e);
    }
    const Ramp kernel{{0.0, 0x7A5520}, {0.45, 0xC3923E}, {0.8, 0xE8C270}, {1.0, 0xF7E2A4}};
    return [f, ears, kernel](double x, double y) {
        const double streak = f.fbm(x, y, 14, 2, 3, 0.5, 272);
        Rgb c = Mix(Hex(0x4F3A18), Hex(0x8C6A30), Unit(streak));
        for (const Ear& e : ears) {
            const double dx = f.wrapDx(x - e.x);
            const double dy = f.wrapDy(y - e.y);
            const double along = dx * e.dirX + dy * e.dirY;
            const double across = dx * -e.dirY + dy * e.dirX;
            if (along < -40.0 || along > e.length + 16.0 || Abs(across) > 12.0) continue;
            // Shade under the ear, then the stalk below it.
            if (along > -2.0 && along < e.length + 2.0 && Abs(across) < 6.0) c = Scale(c, 0.8);
            if (along < 0.0 && Abs(across) < 0.9) {
                c = Mix(Hex(0xB08A45), Hex(0xD8B866), Unit(-across / 0.9 * 0.5 + 0.5 * e.tone));
            }
            // Awns: thin bristles leaving the upper kernels.
            for (int a = 0; a < 6; ++a) {
                const double start = e.length * (0.35 + 0.12 * a);
                const double side = (a % 2 == 0) ? 1.0 : -1.0;
                const double slope = side * (0.08 + 0.03 * a);
                const double t = along - start;
                if (t < 0.0 || t > 14.0) continue;
                if (Abs(across - side * 2.0 - slope * t) < 0.35) c = Mix(c, Hex(0xE9D08C), 0.85);
            }
            // Kernels in two alternating rows, smaller towards the tip.
            const int count = static_cast<int>(e.length / 2.6);
            for (int k = 0; k < count; ++k) {
                const double taper = 1.0 - 0.35 * k / count;
                const double ka = 2.0 + k * 2.6;
                const double kc = ((k % 2 == 0) ? 1.8 : -1.8) * taper;
                const double ra = 3.0 * taper;
                const double rc = 2.2 * taper;
                const double u = (along - ka) / ra;
                const double v = (across - kc) / rc;
                const double r2 = u * u + v * v;
                if (r2 >= 1.0) continue;
                const double dome = std::sqrt(1.0 - r2);
                const double light = 0.55 * dome - 0.25 * v * (kc > 0 ? 1.0 : -1.0) + 0.2 * u + 0.25 * e.tone;
                c = kernel(Clamp(light + 0.15));
            }
        }
        return c;
    };
}

Painter Straw(const Field& f) {
    struct Stalk {
        double x, y, dirX, dirY, half, radius, tone;
        double node; // position of a node along the stalk, relative to its centre
    };
    std::vector<Stalk> stalks;
    Random random(291);
    for (int i = 0; i < 170; ++i) {
        Stalk s;
        s.x = random.range(0.0, f.width());
        s.y = random.range(0.0, f.height());
        const double angle = random.uniform() < 0.7 ? random.range(0.35, 0.95) : random.range(0.0, kPi);
        s.dirX = Cos(angle);
        s.dirY = Sin(angle);
        s.half = random.range(22.0, 36.0);
        s.radius = random.range(1.1, 2.0);
        s.tone = random.uniform();
        s.node = random.range(-s.half, s.half);
        stalks.push_back(s);
    }
    return [f, stalks](double x, double y) {
        Rgb c = Mix(Hex(0x4A3517), Hex(0x74572A), Unit(f.fbm(x, y, 6, 6, 3, 0.5, 292)));
        for (const Stalk& s : stalks) {
            const double dx = f.wrapDx(x - s.x);
            const double dy = f.wrapDy(y - s.y);
            const double along = dx * s.dirX + dy * s.dirY;
            const double across = dx * -s.dirY + dy * s.dirX;
            if (Abs(along) > s.half + s.radius + 2.0 || Abs(across) > s.radius + 2.0) continue;
            // Rounded ends.
            const double over = Abs(along) - s.half;
            const double distance = over > 0 ? std::sqrt(over * over + across * across) : Abs(across);
            if (distance < s.radius + 1.2) c = Scale(c, 0.8); // the stalk's shadow
            if (distance >= s.radius) continue;
            const double n = across / s.radius;
            const double round = std::sqrt(1.0 - n * n);
            Rgb straw = Mix(Hex(0xB48F3C), Hex(0xF1DC8A), Clamp(0.25 + 0.6 * round + 0.3 * (s.tone - 0.5)));
            const double shine = Pow8(Clamp(1.0 - Abs(n + 0.35) * 2.2));
            straw = Mix(straw, Hex(0xFFF6D6), 0.55 * shine);
            if (Abs(along - s.node) < 0.9) straw = Scale(straw, 0.78);
            straw = Scale(straw, 1.0 + 0.06 * f.gradient(along, 0.0, 8, 1, 293 + static_cast<uint32_t>(s.tone * 100)));
            c = straw;
        }
        return c;
    };
}

// ---- Textiles ----

// One point of a plain or twill weave: which thread is on top, where across and along it the
// point lies (0..1) and its index.
struct WeavePoint {
    bool warpOnTop; // the vertical thread
    double across;
    double along;
    int32_t thread; // index of the visible thread, warp and weft counted apart
};

WeavePoint Weave(const Field& f, double x, double y, int32_t threads, int32_t repeat, int32_t shift) {
    const double u = x / f.width() * threads;
    const double v = y / f.height() * threads;
    const int32_t iu = WrapIndex(static_cast<int32_t>(std::floor(u)), threads);
    const int32_t iv = WrapIndex(static_cast<int32_t>(std::floor(v)), threads);
    const double fu = Fract(u);
    const double fv = Fract(v);
    // In a plain weave (repeat 2) warp and weft alternate; in a 3/1 twill (repeat 4, shift 1)
    // the warp passes over three wefts and under one, one thread further on each row.
    const bool warpOnTop =
        repeat == 2 ? ((iu + iv) & 1) == 0 : WrapIndex(iu * shift + iv, repeat) != 0;
    if (warpOnTop) return {true, fu, fv, iu};
    return {false, fv, fu, iv};
}

Painter Canvas(const Field& f) {
    return [f](double x, double y) {
        const WeavePoint w = Weave(f, x, y, 32, 2, 1);
        const double bump = Sin(kPi * w.across);
        const double dive = 0.72 + 0.28 * Sin(kPi * w.along);
        const double tone = HashUnit(Hash(static_cast<uint32_t>(w.thread), w.warpOnTop ? 1u : 2u, 171));
        const double shade = Clamp(std::sqrt(bump) * dive);
        Rgb base = w.warpOnTop ? Hex(0xE4D9C0) : Hex(0xDCCFB3);
        base = Scale(base, 0.95 + 0.08 * tone + 0.05 * f.fbm(x, y, 4, 4, 3, 0.5, 172));
        Rgb c = Mix(Hex(0x8E8068), base, shade);
        return Scale(c, 1.0 + 0.05 * (f.grain(x, y, 173) - 0.5));
    };
}

Painter Linen(const Field& f) {
    constexpr int32_t kThreads = 42;
    return [f](double x, double y) {
        const WeavePoint w = Weave(f, x, y, kThreads, 2, 1);
        // Flax threads thicken and thin along their length (slubs).
        const double centre = (w.thread + 0.5) * (w.warpOnTop ? f.width() : f.height()) / kThreads;
        const double slub = w.warpOnTop ? f.value(centre, y, kThreads, 5, 121) : f.value(x, centre, 5, kThreads, 122);
        const double width = 0.35 + 0.25 * slub;
        const double bump = Clamp(1.0 - Pow2((w.across - 0.5) / width));
        const double dive = 0.8 + 0.2 * Sin(kPi * w.along);
        Rgb base = Mix(Hex(0xC9BB9C), Hex(0xE6DCC6), 0.3 + 0.7 * slub);
        base = Scale(base, 1.0 + 0.05 * f.fbm(x, y, 3, 3, 3, 0.5, 123));
        return Mix(Hex(0xA3947A), base, Clamp(std::sqrt(bump) * dive));
    };
}

Painter Denim(const Field& f) {
    constexpr int32_t kThreads = 48;
    return [f](double x, double y) {
        const WeavePoint w = Weave(f, x, y, kThreads, 4, 1);
        const double bump = Sin(kPi * w.across);
        const double dive = 0.75 + 0.25 * Sin(kPi * w.along);
        const double fade = Unit(f.fbm(x, y, 3, 5, 4, 0.5, 251));
        Rgb c;
        if (w.warpOnTop) {
            const double centre = (w.thread + 0.5) * f.width() / kThreads;
            const double slub = f.value(centre, y, kThreads, 6, 252);
            c = Mix(Hex(0x1B3257), Hex(0x5B7BA3), Clamp(0.1 + 0.5 * fade + 0.3 * slub));
        } else {
            c = Mix(Hex(0x6A7A96), Hex(0xA3AEBD), HashUnit(Hash(static_cast<uint32_t>(w.thread), 7, 253)));
        }
        c = Mix(Scale(c, 0.6), c, Clamp(std::sqrt(bump) * dive));
        return Scale(c, 1.0 + 0.06 * (f.grain(x, y, 254) - 0.5));
    };
}

Painter Felt(const Field& f) {
    const Ramp ramp{{0.0, 0x1C4430}, {0.5, 0x2E6A47}, {1.0, 0x4F8C63}};
    return [f, ramp](double x, double y) {
        const double a = f.fbm(x, y, 24, 6, 2, 0.5, 261);
        const double b = f.fbm(x, y, 6, 24, 2, 0.5, 262);
        const double d = Pow8(1.0 - Abs(f.gradient(x, y, 20, 20, 263)));
        const double mottle = f.fbm(x, y, 3, 3, 4, 0.5, 264);
        const double v = 0.5 + 0.14 * a + 0.14 * b + 0.2 * mottle + 0.14 * (f.grain(x, y, 265) - 0.5) + 0.15 * d;
        return ramp(v);
    };
}

Painter Velvet(const Field& f) {
    const Ramp ramp{{0.0, 0x3A0812}, {0.4, 0x6A1426}, {0.75, 0x972A42}, {1.0, 0xC2566E}};
    auto folds = [f](double x, double y) {
        const double wx = x + 10.0 * f.fbm(x, y, 2, 2, 3, 0.5, 242);
        return f.fbm(wx, y, 3, 2, 3, 0.45, 241);
    };
    return [f, ramp, folds](double x, double y) {
        const double v = folds(x, y);
        const double slope = folds(x - 1.5, y - 1.5) - folds(x + 1.5, y + 1.5);
        const double sheen = SmoothStep(-0.5, 0.5, v) + 3.0 * slope;
        const double pile = 0.06 * (f.grain(x, y, 243) - 0.5) + 0.04 * f.fbm(x, y, 32, 32, 2, 0.5, 244);
        return ramp(0.18 + 0.65 * Clamp(sheen) + pile);
    };
}

Painter Basket(const Field& f) {
    constexpr int32_t kStrands = 12; // in blocks of two, six blocks each way
    const Ramp ramp{{0.0, 0x5E3F1C}, {0.5, 0xAD8244}, {1.0, 0xDDB97A}};
    return [f, ramp](double x, double y) {
        // A third of a strand off the picture's edges, so that its edges cross the strands.
        const double u = x / f.width() * kStrands + 0.33;
        const double v = y / f.height() * kStrands + 0.33;
        const int32_t bi = static_cast<int32_t>(std::floor(u / 2.0));
        const int32_t bj = static_cast<int32_t>(std::floor(v / 2.0));
        const bool horizontal = WrapIndex(bi + bj, 2) == 0;
        const double across = horizontal ? Fract(v) : Fract(u);
        const double along = horizontal ? (u - 2.0 * bi) / 2.0 : (v - 2.0 * bj) / 2.0;
        const int32_t strand = horizontal ? WrapIndex(static_cast<int32_t>(std::floor(v)), kStrands)
                                          : WrapIndex(static_cast<int32_t>(std::floor(u)), kStrands) + 100;
        const double bump = Clamp(1.0 - Pow4((across - 0.5) / 0.46));
        const double dive = 0.55 + 0.45 * Sin(kPi * along);
        const double fibres = horizontal ? f.fbm(x, y, 3, 48, 2, 0.5, 301) : f.fbm(x, y, 48, 3, 2, 0.5, 302);
        const double tone = HashUnit(Hash(static_cast<uint32_t>(strand), 3, 303));
        const double light = horizontal ? 1.0 - 0.25 * across : 1.0 - 0.25 * (1.0 - across);
        Rgb c = ramp(0.35 + 0.3 * tone + 0.15 * fibres + 0.25 * light * dive);
        return Mix(Hex(0x2E1D0C), c, Clamp(bump * dive * 1.15));
    };
}

// ---- Skies and water ----

Painter Clouds(const Field& f) {
    return [f](double x, double y) {
        const double n = f.fbm(x, y, 2, 2, 6, 0.5, 101);
        const double density = SmoothStep(-0.05, 0.5, n);
        const double lit = f.fbm(x + 2.0, y + 3.0, 2, 2, 6, 0.5, 101);
        const double shade = Clamp(0.7 + (n - lit) * 5.0);
        const Rgb sky = Mix(Hex(0x4E8FCC), Hex(0x8CBDE8), Unit(f.fbm(x, y, 1, 2, 2, 0.5, 102)));
        const Rgb cloud = Mix(Hex(0xBCC8D6), Hex(0xFFFFFF), shade);
        return Mix(sky, cloud, density);
    };
}

Painter Sky(const Field& f) {
    const Ramp ramp{{0.0, 0x3F7FC4}, {0.55, 0x7BB1E2}, {1.0, 0xCFE5F6}};
    return [f, ramp](double x, double y) {
        // Deep blue at the top and bottom edges, light in the middle: the gradient repeats.
        const double t = 0.5 - 0.5 * Cos(kTwoPi * y / f.height());
        const Rgb sky = ramp(0.9 * t + 0.1 * Unit(f.fbm(x, y, 2, 2, 2, 0.5, 251)));
        const double n = f.fbm(x, y, 2, 4, 5, 0.5, 252);
        const double density = SmoothStep(0.0, 0.4, n + 0.12 * (t - 0.5));
        const double lit = f.fbm(x + 1.0, y + 2.5, 2, 4, 5, 0.5, 252);
        const Rgb cloud = Mix(Hex(0xB3C1D3), Hex(0xFFFFFF), Clamp(0.7 + (n - lit) * 6.0));
        return Mix(sky, cloud, density);
    };
}

Painter Water(const Field& f) {
    return [f](double x, double y) {
        const double w1 = 9.0 * f.fbm(x, y, 2, 2, 3, 0.5, 141);
        const double w2 = 9.0 * f.fbm(x, y, 2, 2, 3, 0.5, 142);
        const Field::Cells c1 = f.cells(x + w1, y + w2, 6, 6, 0.9, 143);
        const double line1 = 1.0 - SmoothStep(0.0, 2.6, c1.f2 - c1.f1);
        const Field::Cells c2 = f.cells(x - w2, y + w1, 9, 9, 0.9, 144);
        const double line2 = 1.0 - SmoothStep(0.0, 1.8, c2.f2 - c2.f1);
        const double depth = Unit(f.fbm(x, y, 2, 2, 4, 0.5, 145));
        Rgb c = Mix(Hex(0x1D5A86), Hex(0x3D90B8), depth);
        c = Mix(c, Hex(0xA9E2F2), Clamp(0.6 * line1 + 0.3 * line2));
        return c;
    };
}

Painter Watercolour(const Field& f) {
    static constexpr uint32_t kPigments[] = {0x5A8FC8, 0xE58FA6, 0xF0C65C};
    static constexpr double kShare[] = {0.0, 0.12, 0.2}; // lower: the pigment covers less paper
    return [f](double x, double y) {
        Rgb c = Scale(Hex(0xFCFAF4), 1.0 + 0.03 * (f.grain(x, y, 311) - 0.5) + 0.02 * f.fbm(x, y, 8, 8, 2, 0.5, 312));
        for (uint32_t k = 0; k < 3; ++k) {
            const double wx = x + 5.0 * f.fbm(x, y, 3, 3, 3, 0.5, 320 + k);
            const double wy = y + 5.0 * f.fbm(x, y, 3, 3, 3, 0.5, 330 + k);
            const double cover = f.fbm(wx, wy, 2, 2, 5, 0.5, 340 + k) - kShare[k];
            const double inside = SmoothStep(0.0, 0.04, cover);
            // Pigment gathers at the edge of a wash as it dries.
            const double rim = inside * (1.0 - SmoothStep(0.02, 0.1, cover));
            const double body = 0.3 + 0.25 * Unit(f.fbm(x, y, 4, 4, 3, 0.5, 350 + k)) +
                                0.08 * (f.grain(x, y, 360 + k) - 0.5) - 0.3 * SmoothStep(0.1, 0.5, cover);
            const double amount = Clamp(inside * body + 0.3 * rim);
            c = Multiply(c, Mix(Hex(0xFFFFFF), Hex(kPigments[k]), amount));
        }
        return c;
    };
}

// ---- Built things ----

Painter Brick(const Field& f) {
    const double w = f.width();
    const double h = f.height();
    return [f, w, h](double x, double y) {
        constexpr int32_t kRows = 8;
        constexpr int32_t kPerRow = 4;
        const double rowH = h / kRows;
        const double brickW = w / kPerRow;
        const double X = x + 9.0;
        const double Y = y + 5.0;
        const int32_t row = static_cast<int32_t>(std::floor(Y / rowH));
        const double fy = Y - row * rowH;
        const double offset = WrapIndex(row, 2) == 1 ? brickW / 2.0 : 0.0;
        const int32_t column = static_cast<int32_t>(std::floor((X + offset) / brickW));
        const double fx = X + offset - column * brickW;
        const uint32_t id = Hash(static_cast<uint32_t>(WrapIndex(column, kPerRow)),
                                 static_cast<uint32_t>(WrapIndex(row, kRows)), 181);
        double edge = std::fmin(std::fmin(fx, brickW - fx), std::fmin(fy, rowH - fy));
        edge += 0.7 * f.gradient(x, y, 32, 32, 182);
        const double inside = SmoothStep(1.0, 2.0, edge);
        Rgb brick = Mix(Hex(0x9A4530), Hex(0xBE6A48), HashUnit(id));
        brick = Scale(brick, 0.85 + 0.2 * HashUnit(Hash(id)));
        if (HashUnit(Hash(id, 5, 183)) < 0.2) brick = Mix(brick, Hex(0x5B3426), 0.35);
        brick = Scale(brick, 1.0 + 0.1 * f.fbm(x, y, 16, 16, 3, 0.5, 184) + 0.1 * (f.grain(x, y, 185) - 0.5));
        brick = Scale(brick, 1.0 - 0.18 * (1.0 - SmoothStep(2.0, 4.0, edge)));
        const Rgb mortar = Scale(Hex(0xC4BDB0), 0.9 + 0.2 * f.grain(x, y, 186));
        return Mix(mortar, brick, inside);
    };
}

Painter BrushedMetal(const Field& f) {
    const Ramp ramp{{0.0, 0x7A8088}, {0.5, 0xB2B8BF}, {1.0, 0xE3E7EB}};
    return [f, ramp](double x, double y) {
        const double streaks = f.fbm(x, y, 2, 64, 3, 0.6, 131);
        const double lines = f.value(x, y, 3, f.height(), 132);
        const double band = Cos(kTwoPi * (x / f.width() + 0.15 * f.fbm(x, y, 1, 2, 2, 0.5, 133)));
        const double v = 0.55 + 0.17 * streaks + 0.16 * (lines - 0.5) + 0.1 * band;
        return ramp(v);
    };
}

Painter Leather(const Field& f) {
    const Ramp ramp{{0.0, 0x4F2E15}, {0.5, 0x87572D}, {1.0, 0xB0804F}};
    return [f, ramp](double x, double y) {
        const double wx = x + 2.0 * f.gradient(x, y, 10, 10, 72);
        const double wy = y + 2.0 * f.gradient(x, y, 10, 10, 73);
        const Field::Cells c = f.cells(wx, wy, 22, 22, 1.0, 71);
        const double cell = static_cast<double>(f.width()) / 22.0;
        const double crease = (1.0 - SmoothStep(0.0, 1.2, c.f2 - c.f1)) *
                              SmoothStep(-0.4, 0.3, f.fbm(x, y, 6, 6, 2, 0.5, 76));
        const double dome = Clamp(1.0 - Pow2(c.f1 / cell));
        const double mottle = f.fbm(x, y, 3, 3, 4, 0.5, 74);
        double v = 0.5 + 0.34 * mottle + 0.12 * dome + 0.08 * (f.grain(x, y, 75) - 0.5);
        v -= 0.22 * crease;
        return ramp(v);
    };
}

} // namespace

Painter MakePainter(int32_t id, const Field& field, int& samplesPerAxis) {
    samplesPerAxis = 2;
    switch (id) {
    case 162: return Wood(field);
    case 167: return Marble(field);
    case 168: return Paper(field);
    case 169: return Parchment(field);
    case 170: samplesPerAxis = 3; return Canvas(field);
    case 171: return Stone(field);
    case 172: return Leather(field);
    case 173: return Cork(field);
    case 174: samplesPerAxis = 1; return Sand(field);
    case 175: return Clouds(field);
    case 176: return Granite(field);
    case 177: samplesPerAxis = 3; return Linen(field);
    case 178: return BrushedMetal(field);
    case 179: return Water(field);
    case 180: return Moss(field);
    case 181: return Bark(field);
    case 182: return Slate(field);
    case 183: return Brick(field);
    case 184: return Terrazzo(field);
    case 185: samplesPerAxis = 3; return Denim(field);
    case 186: return Felt(field);
    case 187: return Rust(field);
    case 188: return Concrete(field);
    case 189: return Velvet(field);
    case 190: return Sky(field);
    case 191: return Watercolour(field);
    case 192: samplesPerAxis = 3; return Wheat(field);
    case 193: return Pebbles(field);
    case 194: samplesPerAxis = 3; return Straw(field);
    case 195: samplesPerAxis = 3; return Basket(field);
    default: samplesPerAxis = 1; return {};
    }
}

} // namespace arbolix::texgen
