// The hue/saturation/value adjust mode.
#include "LICE_Combine.h"

#include <algorithm>
#include <cmath>

namespace LICE::detail
{

namespace
{

struct Hsv
{
    double mH, mS, mV; // hue in turns (0 ... 1), saturation and value 0 ... 1
};

Hsv ToHsv(int r, int g, int b)
{
    const double rf = r / 255.0, gf = g / 255.0, bf = b / 255.0;
    const double maxc = std::max({rf, gf, bf});
    const double minc = std::min({rf, gf, bf});
    const double delta = maxc - minc;
    Hsv out{0.0, maxc > 0.0 ? delta / maxc : 0.0, maxc};
    if (delta > 0.0)
    {
        double h;
        if (maxc == rf)
            h = (gf - bf) / delta;
        else if (maxc == gf)
            h = 2.0 + (bf - rf) / delta;
        else
            h = 4.0 + (rf - gf) / delta;
        out.mH = h / 6.0 - std::floor(h / 6.0);
    }
    return out;
}

void FromHsv(const Hsv& c, int& r, int& g, int& b)
{
    const double h = (c.mH - std::floor(c.mH)) * 6.0;
    const int sector = std::min(int(h), 5);
    const double f = h - sector;
    const double v = c.mV;
    const double p = v * (1.0 - c.mS);
    const double q = v * (1.0 - c.mS * f);
    const double t = v * (1.0 - c.mS * (1.0 - f));
    double rf = v, gf = t, bf = p;
    switch (sector)
    {
    case 1:
        rf = q, gf = v, bf = p;
        break;
    case 2:
        rf = p, gf = v, bf = t;
        break;
    case 3:
        rf = p, gf = q, bf = v;
        break;
    case 4:
        rf = t, gf = p, bf = v;
        break;
    case 5:
        rf = v, gf = p, bf = q;
        break;
    default:
        break;
    }
    r = int(std::lround(rf * 255.0));
    g = int(std::lround(gf * 255.0));
    b = int(std::lround(bf * 255.0));
}

} // namespace

LICE_pixel AdjustHsv(LICE_pixel d, const Source& s, int w)
{
    const int r = int((d >> 16) & 0xFF), g = int((d >> 8) & 0xFF), b = int(d & 0xFF);
    Hsv c = ToHsv(r, g, b);
    c.mH += (std::min(s.mR, 255) - 128) / 256.0;
    c.mS = std::clamp(c.mS * std::min(s.mG, 255) / 128.0, 0.0, 1.0);
    c.mV = std::clamp(c.mV * std::min(s.mB, 255) / 128.0, 0.0, 1.0);
    int nr, ng, nb;
    FromHsv(c, nr, ng, nb);
    const int a = int(d >> 24);
    return Pack(Clamp255(b + (nb - b) * w / 256), Clamp255(g + (ng - g) * w / 256),
                Clamp255(r + (nr - r) * w / 256), a);
}

} // namespace LICE::detail
