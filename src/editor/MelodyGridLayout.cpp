#include "MelodyGridLayout.h"

namespace melody_grid
{

namespace
{
// Pulse columns by pulse count (1 to 4), pulses 0..3.
constexpr PixelSpan kPulseColumns[4][4] = {
    {{1, 39}, {}, {}, {}},
    {{1, 19}, {21, 39}, {}, {}},
    {{1, 12}, {14, 26}, {28, 39}, {}},
    {{1, 9}, {11, 19}, {21, 29}, {31, 39}},
};
constexpr int kVerticalLines[4][3] = {{}, {20}, {12, 27}, {10, 20, 30}};

int ShownPulses(int numPulses) noexcept
{
    return numPulses < 1 ? 1 : (numPulses > 4 ? 4 : numPulses);
}
} // namespace

PixelSpan PulseColumn(int numPulses, int pulse) noexcept
{
    if (pulse < 0 || pulse >= 4)
        return {};
    return kPulseColumns[ShownPulses(numPulses) - 1][pulse];
}

PixelSpan DegreeRow(int degree) noexcept
{
    if (degree < 0 || degree >= 5)
        return {};
    return {33 - 8 * degree, 40 - 8 * degree};
}

int VerticalLines(int numPulses, int xs[3]) noexcept
{
    const int n = ShownPulses(numPulses);
    for (int i = 0; i < n - 1; ++i)
        xs[i] = kVerticalLines[n - 1][i];
    return n - 1;
}

int PulseAt(int numPulses, int x) noexcept
{
    for (int p = 0; p < ShownPulses(numPulses); ++p)
        if (PulseColumn(numPulses, p).Contains(x))
            return p;
    return -1;
}

int DegreeAt(int y) noexcept
{
    for (int d = 0; d < 5; ++d)
        if (DegreeRow(d).Contains(y))
            return d;
    return -1;
}

} // namespace melody_grid
