// Writes one PNG showing all the editor's embedded images: the editor composed at rest beside
// the bare background, then every other image with all its frames, each captioned. Everything is
// drawn with the bitmap library's own blits and written with its own PNG writer.
//
//     orlantix_artwork_sheet OUT.png [--text-layer FILE.png] [--source DIR]

#include "ArtworkTables.h"
#include "LICE_Blit.h"
#include "LICE_Fill.h"
#include "LICE_Pixel.h"
#include "LICE_PngRead.h"
#include "LICE_PngResource.h"
#include "LICE_PngWrite.h"
#include "LayoutPreview.h"
#include "SheetFont.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

using namespace orx::artwork;

namespace
{

constexpr int kPad = 20;
constexpr int kGap = 4;
constexpr int kSheetWidth = 2 * 720 + 3 * kPad;
constexpr LICE_pixel kSheet = LICE_RGBA(18, 20, 24, 255);
constexpr LICE_pixel kCell = LICE_RGBA(38, 42, 49, 255);
constexpr LICE_pixel kCaption = LICE_RGBA(200, 204, 210, 255);
constexpr LICE_pixel kTitle = LICE_RGBA(255, 138, 28, 255);
constexpr int kCaptionHeight = 14;

struct Tile
{
    const ImageEntry* mpEntry;
    int mPerRow, mRows, mWidth, mHeight;
    int mX = 0, mY = 0;
};

std::string Caption(const ImageEntry& e)
{
    char caption[160];
    std::snprintf(caption, sizeof caption, "%d %s  %d X %dX%d", e.mId, e.mName.c_str(), e.mFrames,
                  e.mWidth, e.mHeight);
    return caption;
}

Tile MakeTile(const ImageEntry& e)
{
    const int usable = kSheetWidth - 2 * kPad;
    const int perRow = std::max(1, std::min(e.mFrames, (usable + kGap) / (e.mWidth + kGap)));
    const int rows = (e.mFrames + perRow - 1) / perRow;
    const int framesWidth = perRow * (e.mWidth + kGap) - kGap;
    const int captionWidth = int(Caption(e).size()) * 6;
    return {&e, perRow, rows, std::max(framesWidth, captionWidth),
            kCaptionHeight + rows * (e.mHeight + kGap) - kGap};
}

// Shelf packing: tiles left to right, a new shelf when the row is full. Answers the height used.
int Place(std::vector<Tile>& tiles, int top)
{
    int x = kPad, y = top, shelf = 0;
    for (Tile& t : tiles)
    {
        if (x > kPad && x + t.mWidth > kSheetWidth - kPad)
        {
            x = kPad;
            y += shelf + 2 * kGap + 8;
            shelf = 0;
        }
        t.mX = x;
        t.mY = y;
        x += t.mWidth + 3 * kGap + 8;
        shelf = std::max(shelf, t.mHeight);
    }
    return y + shelf - top;
}

void DrawTile(LICE_IBitmap& sheet, const Tile& t, const LICE_IBitmap& image)
{
    const ImageEntry& e = *t.mpEntry;
    DrawSheetText(&sheet, t.mX, t.mY, Caption(e).c_str(), kCaption);
    for (int f = 0; f < e.mFrames; ++f)
    {
        const int x = t.mX + (f % t.mPerRow) * (e.mWidth + kGap);
        const int y = t.mY + kCaptionHeight + (f / t.mPerRow) * (e.mHeight + kGap);
        LICE::FillRectangle(&sheet, x, y, e.mWidth, e.mHeight, kCell, 1.0f, LICE_BLIT_MODE_COPY);
        LICE::BlitPart(&sheet, &image, x, y, 0, f * e.mHeight, e.mWidth, e.mHeight, 1.0f,
                       LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA);
    }
}

} // namespace

int main(int argc, char** argv)
{
    const char* outPath = nullptr;
    const char* textLayerPath = nullptr;
    std::string source = ORX_SOURCE_DIR;
    for (int i = 1; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--text-layer") == 0 && i + 1 < argc)
            textLayerPath = argv[++i];
        else if (std::strcmp(argv[i], "--source") == 0 && i + 1 < argc)
            source = argv[++i];
        else
            outPath = argv[i];
    }
    if (!outPath)
    {
        std::fprintf(stderr, "usage: %s OUT.png [--text-layer FILE.png] [--source DIR]\n", argv[0]);
        return 2;
    }

    const auto images = ReadImageTable(source + "/resources/images.txt");
    const auto layout = ReadLayoutTable(source + "/resources/layout.txt");
    if (images.empty())
    {
        std::fprintf(stderr, "no image table under %s\n", source.c_str());
        return 1;
    }
    std::unique_ptr<LICE_MemBitmap> textLayer;
    if (textLayerPath && !(textLayer = LICE::LoadPngFile(textLayerPath, true)))
        std::fprintf(stderr, "text layer %s not readable; composing without it\n", textLayerPath);

    std::vector<Tile> tiles;
    for (const ImageEntry& e : images)
        if (e.mId != 100)
            tiles.push_back(MakeTile(e));
    const int previewTop = kPad + 2 * 7 + 12;
    const int tilesTop = previewTop + 650 + kPad + 12;
    const int height = tilesTop + Place(tiles, tilesTop) + kPad;

    LICE_MemBitmap sheet(kSheetWidth, height);
    LICE::FillRectangle(&sheet, 0, 0, kSheetWidth, height, kSheet, 1.0f, LICE_BLIT_MODE_COPY);
    DrawSheetText(&sheet, kPad, kPad, "ORLANTIX EDITOR ARTWORK", kTitle, 2);

    LICE_MemBitmap preview;
    if (!ComposeLayoutPreview(preview, images, layout, textLayer.get()))
    {
        std::fprintf(stderr, "the embedded background does not decode\n");
        return 1;
    }
    LICE::Blit(&sheet, &preview, kPad, previewTop, nullptr, 1.0f, LICE_BLIT_MODE_COPY);
    DrawSheetText(&sheet, kPad, previewTop + 650 + 4, "EDITOR AT REST (SAMPLE VALUES)", kCaption);
    int missing = 0;
    if (const auto background = LICE::LoadPngResource(nullptr, 100))
    {
        LICE::Blit(&sheet, background.get(), 2 * kPad + 720, previewTop, nullptr, 1.0f,
                   LICE_BLIT_MODE_COPY);
        DrawSheetText(&sheet, 2 * kPad + 720, previewTop + 650 + 4, "100 VELTA-BG-V1-1.PNG",
                      kCaption);
    }
    for (const Tile& t : tiles)
    {
        const auto image = LICE::LoadPngResource(nullptr, t.mpEntry->mId);
        if (!image)
        {
            std::fprintf(stderr, "image %d is not embedded or does not decode\n", t.mpEntry->mId);
            ++missing;
            continue;
        }
        DrawTile(sheet, t, *image);
    }
    if (!LICE::WritePngFile(outPath, sheet, false))
    {
        std::fprintf(stderr, "cannot write %s\n", outPath);
        return 1;
    }
    std::printf("wrote %s (%d x %d)\n", outPath, kSheetWidth, height);
    return missing == 0 ? 0 : 1;
}
