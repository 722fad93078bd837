// Draws the manual's annotated pictures of the editor into docs/manual/ (make docs), or checks
// that the committed ones are what it draws and that the manual's legend under each picture
// numbers and names its callouts as the picture does (the test docs_pictures_reproduce).
//
//     orlantix-doc-pictures [--source DIR] OUTDIR
//     orlantix-doc-pictures [--source DIR] --check
//
// With --check, a picture that differs is left in the working folder as NAME.fresh.png.

#include "LegendCheck.h"
#include "ManualPictures.h"

#include "LICE_PngRead.h"
#include "LICE_PngWrite.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

using namespace orx::docs;

namespace
{

// The pixels (RGB) in which two pictures differ; -1 when their sizes differ.
long Differing(const LICE_IBitmap& a, const LICE_IBitmap& b)
{
    if (a.getWidth() != b.getWidth() || a.getHeight() != b.getHeight())
        return -1;
    long n = 0;
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
            n += ((a.getBits()[y * a.getRowSpan() + x] ^ b.getBits()[y * b.getRowSpan() + x]) &
                  0xFFFFFFu) != 0;
    return n;
}

// Paints and annotates one picture; false with the reason printed.
bool Draw(const Picture& picture, const std::string& source, LICE_MemBitmap& out)
{
    LICE_MemBitmap editor;
    std::string error;
    if (!PaintScene(picture.mScene, source, editor, error))
    {
        std::fprintf(stderr, "%s: %s\n", picture.mFile.c_str(), error.c_str());
        return false;
    }
    DrawCallouts(editor, picture.mFraming, picture.mCallouts, out);
    return true;
}

int Write(const std::vector<Picture>& pictures, const std::string& source,
          const std::string& folder)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    int failed = 0;
    for (const Picture& picture : pictures)
    {
        LICE_MemBitmap out;
        const std::string path = folder + "/" + picture.mFile;
        if (!Draw(picture, source, out) || !LICE::WritePngFile(path.c_str(), out, false))
        {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            ++failed;
            continue;
        }
        std::printf("wrote %s (%d x %d)\n", path.c_str(), out.getWidth(), out.getHeight());
    }
    return failed == 0 ? 0 : 1;
}

int Check(const std::vector<Picture>& pictures, const std::string& source)
{
    int failed = 0;
    for (const Picture& picture : pictures)
    {
        LICE_MemBitmap out;
        if (!Draw(picture, source, out))
        {
            ++failed;
            continue;
        }
        const std::string committed = source + "/docs/manual/" + picture.mFile;
        const auto want = LICE::LoadPngFile(committed.c_str(), true);
        const long differing = want ? Differing(*want, out) : -1;
        if (differing == 0)
            continue;
        ++failed;
        const std::string fresh = picture.mFile.substr(0, picture.mFile.rfind('.')) + ".fresh.png";
        LICE::WritePngFile(fresh.c_str(), out, false);
        if (!want)
            std::fprintf(stderr, "%s is missing or unreadable; make docs\n", committed.c_str());
        else if (differing < 0)
            std::fprintf(stderr, "%s differs in size from what is drawn now (%s); make docs\n",
                         committed.c_str(), fresh.c_str());
        else
            std::fprintf(stderr, "%ld pixels of %s differ from what is drawn now (%s); make docs\n",
                         differing, committed.c_str(), fresh.c_str());
    }
    for (const std::string& problem : CheckLegends(pictures, source + "/docs/manual.md"))
    {
        std::fprintf(stderr, "docs/manual.md: %s\n", problem.c_str());
        ++failed;
    }
    if (failed == 0)
        std::printf("the %zu pictures and their legends are up to date\n", pictures.size());
    return failed == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    std::string source = ORX_SOURCE_DIR;
    std::string out;
    bool check = false;
    for (int i = 1; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--source") == 0 && i + 1 < argc)
            source = argv[++i];
        else if (std::strcmp(argv[i], "--check") == 0)
            check = true;
        else
            out = argv[i];
    }
    if (check == !out.empty())
    {
        std::fprintf(stderr, "usage: %s [--source DIR] OUTDIR | --check\n", argv[0]);
        return 2;
    }
    std::vector<std::string> missing;
    const std::vector<Picture> pictures = ManualPictures(missing);
    for (const std::string& name : missing)
        std::fprintf(stderr, "the layout table has no %s: the pictures need it\n", name.c_str());
    if (!missing.empty())
        return 1;
    return check ? Check(pictures, source) : Write(pictures, source, out);
}
