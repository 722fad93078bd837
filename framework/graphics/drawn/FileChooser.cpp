#include "FileChooser.h"

#include "LICE_Blit.h"
#include "LICE_Fill.h"
#include "LICE_MemBitmap.h"
#include "LICE_Pixel.h"
#include "NameOrder.h"
#include "TextRenderer.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

const IRect FileChooser::kList(8, 52, FileChooser::kWidth - 8, 52 + 11 * FileChooser::kRowHeight);
const IRect FileChooser::kNameField(84, 256, FileChooser::kWidth - 8, 276);
const IRect FileChooser::kOkButton(FileChooser::kWidth - 176, 300, FileChooser::kWidth - 92, 322);
const IRect FileChooser::kCancelButton(FileChooser::kWidth - 84, 300, FileChooser::kWidth - 8, 322);

namespace
{
constexpr LICE_pixel kFace = 0xFFF0F0F0u;
constexpr LICE_pixel kTitleFace = 0xFF2B579Au;
constexpr LICE_pixel kFrame = 0xFF8C8C8Cu;
constexpr LICE_pixel kWhite = 0xFFFFFFFFu;
constexpr LICE_pixel kSelectionFace = 0xFF0078D7u;
constexpr LICE_pixel kInactiveSelection = 0xFFCCE4F7u;
constexpr LICE_pixel kButtonFace = 0xFFE1E1E1u;

bool IsFolder(const fs::path& p)
{
    std::error_code ec;
    return fs::is_directory(p, ec);
}

void Outline(LICE_IBitmap& b, const IRect& r, LICE_pixel colour)
{
    LICE::FillRectangle(&b, r.mL, r.mT, r.W(), 1, colour, 1.0f, LICE_BLIT_MODE_COPY);
    LICE::FillRectangle(&b, r.mL, r.mB - 1, r.W(), 1, colour, 1.0f, LICE_BLIT_MODE_COPY);
    LICE::FillRectangle(&b, r.mL, r.mT, 1, r.H(), colour, 1.0f, LICE_BLIT_MODE_COPY);
    LICE::FillRectangle(&b, r.mR - 1, r.mT, 1, r.H(), colour, 1.0f, LICE_BLIT_MODE_COPY);
}
} // namespace

FileChooser::FileChooser(bool save, const std::string& folder)
    : mSave(save), mStyle("Arial", 14, IColorARGB(255, 0, 0, 0))
{
    std::string start = folder;
    if (start.empty() || !IsFolder(start))
    {
        const char* home = std::getenv("HOME");
        start = (home && IsFolder(home)) ? home : "/";
    }
    Load(start);
}

void FileChooser::Load(const std::string& folder)
{
    std::error_code ec;
    fs::path p = fs::absolute(fs::path(folder), ec).lexically_normal();
    std::string name = p.string();
    while (name.size() > 1 && name.back() == '/')
        name.pop_back();
    mFolder = name;
    mEntries.clear();
    std::vector<Listed> folders, files;
    for (fs::directory_iterator it(mFolder, fs::directory_options::skip_permission_denied, ec), end;
         !ec && it != end; it.increment(ec))
    {
        const std::string entry = it->path().filename().string();
        if (entry.empty() || entry[0] == '.')
            continue;
        std::error_code typeError;
        (it->is_directory(typeError) ? folders : files)
            .push_back({entry, it->is_directory(typeError)});
    }
    auto byName = [](const Listed& a, const Listed& b)
    { return orx::NameBefore(a.mName, b.mName); };
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(files.begin(), files.end(), byName);
    if (mFolder != "/")
        mEntries.push_back({"..", true});
    mEntries.insert(mEntries.end(), folders.begin(), folders.end());
    mEntries.insert(mEntries.end(), files.begin(), files.end());
    mSelected = -1;
    mTop = 0;
    mListActive = false;
}

void FileChooser::Select(int index)
{
    if (mEntries.empty())
        return;
    mSelected = std::clamp(index, 0, static_cast<int>(mEntries.size()) - 1);
    mTop = std::clamp(mTop, mSelected - VisibleRows() + 1, mSelected);
    mListActive = true;
    mMessage.clear();
    mConfirming = false;
    const Listed& e = mEntries[static_cast<std::size_t>(mSelected)];
    if (!e.mFolder)
        mName.SetText(e.mName, true);
}

void FileChooser::Key(EKey key, bool shift)
{
    if (mState != EState::kOpen)
        return;
    if (mConfirming && key != EKey::kReturn)
    {
        if (key == EKey::kEscape)
        {
            mConfirming = false;
            mMessage.clear();
        }
        return;
    }
    const int page = VisibleRows() - 1;
    switch (key)
    {
    case EKey::kUp:
        Select(mSelected < 0 ? 0 : mSelected - 1);
        return;
    case EKey::kDown:
        Select(mSelected + 1);
        return;
    case EKey::kPageUp:
        Select(mSelected - page);
        return;
    case EKey::kPageDown:
        Select(mSelected < 0 ? page : mSelected + page);
        return;
    case EKey::kHome:
    case EKey::kEnd:
        if (mListActive || mName.Text().empty())
            Select(key == EKey::kHome ? 0 : static_cast<int>(mEntries.size()) - 1);
        else
            mName.Key(key == EKey::kHome ? TextField::kHome : TextField::kEnd, shift);
        return;
    case EKey::kReturn:
        Return();
        return;
    case EKey::kEscape:
        mState = EState::kCancelled;
        return;
    case EKey::kLeft:
        mName.Key(TextField::kLeft, shift);
        break;
    case EKey::kRight:
        mName.Key(TextField::kRight, shift);
        break;
    case EKey::kBackspace:
        mName.Key(TextField::kBackspace);
        break;
    case EKey::kDelete:
        mName.Key(TextField::kDelete);
        break;
    case EKey::kSelectAll:
        mName.Key(TextField::kSelectAll);
        break;
    }
    mListActive = false;
}

void FileChooser::Type(const std::string& utf8)
{
    if (mState != EState::kOpen || mConfirming)
        return;
    mName.Type(utf8);
    mListActive = false;
    mMessage.clear();
}

void FileChooser::Return()
{
    if (mConfirming)
    {
        mState = EState::kChosen;
        return;
    }
    if (mListActive && mSelected >= 0)
    {
        const Listed& e = mEntries[static_cast<std::size_t>(mSelected)];
        if (e.mFolder)
        {
            Load(e.mName == ".." ? fs::path(mFolder).parent_path().string()
                                 : (fs::path(mFolder) / e.mName).string());
            return;
        }
        Accept(e.mName);
        return;
    }
    Accept(mName.Text());
}

void FileChooser::Accept(const std::string& name)
{
    if (name.empty())
        return;
    const fs::path path =
        (name[0] == '/' ? fs::path(name) : fs::path(mFolder) / name).lexically_normal();
    if (IsFolder(path))
    {
        Load(path.string());
        mName.SetText("");
        return;
    }
    std::error_code ec;
    if (mSave)
    {
        if (!IsFolder(path.parent_path()))
        {
            mMessage = "The folder " + path.parent_path().string() + " does not exist.";
            return;
        }
        mPath = path.string();
        if (fs::exists(path, ec))
        {
            mConfirming = true;
            mMessage = path.filename().string() + " already exists. Replace it? (Return: yes)";
            return;
        }
        mState = EState::kChosen;
        return;
    }
    if (!fs::is_regular_file(path, ec))
    {
        mMessage = "File not found: " + path.filename().string();
        return;
    }
    mPath = path.string();
    mState = EState::kChosen;
}

bool FileChooser::Click(int x, int y, bool doubleClick)
{
    if (x < 0 || y < 0 || x >= kWidth || y >= kHeight)
        return false;
    if (mState != EState::kOpen)
        return true;
    if (kList.Contains(x, y))
    {
        const int row = mTop + (y - kList.mT) / kRowHeight;
        if (row < static_cast<int>(mEntries.size()))
        {
            Select(row);
            if (doubleClick)
                Return();
        }
    }
    else if (kNameField.Contains(x, y) && !mConfirming)
    {
        mListActive = false;
        mName.PlaceCaret(x - kNameField.mL, kNameField.W(), mStyle);
    }
    else if (kOkButton.Contains(x, y))
    {
        Return();
    }
    else if (kCancelButton.Contains(x, y))
    {
        mState = EState::kCancelled;
    }
    return true;
}

void FileChooser::Wheel(int notches)
{
    const int most = std::max(0, static_cast<int>(mEntries.size()) - VisibleRows());
    mTop = std::clamp(mTop - 3 * notches, 0, most);
}

void FileChooser::Draw(LICE_IBitmap& b) const
{
    LICE::FillRectangle(&b, 0, 0, kWidth, kHeight, kFace, 1.0f, LICE_BLIT_MODE_COPY);
    Outline(b, IRect(0, 0, kWidth, kHeight), kFrame);
    LICE::FillRectangle(&b, 1, 1, kWidth - 2, 24, kTitleFace, 1.0f, LICE_BLIT_MODE_COPY);
    ITextStyle text = mStyle;
    ITextStyle light = mStyle;
    light.mColor = IColorARGB(255, 255, 255, 255);
    DrawTextOnSurface(b, light, Title(), IRect(10, 6, kWidth - 10, 24));

    // The folder, its end kept when it is too long.
    std::string folder = mFolder;
    const TextFont* font = text.Font();
    while (font && folder.size() > 4 &&
           font->LineWidth(folder.data(), static_cast<int>(folder.size())) > kWidth - 24)
        folder = "..." + folder.substr(4);
    DrawTextOnSurface(b, text, folder.c_str(), IRect(10, 31, kWidth - 10, 48));

    LICE::FillRectangle(&b, kList.mL, kList.mT, kList.W(), kList.H(), kWhite, 1.0f,
                        LICE_BLIT_MODE_COPY);
    Outline(b, IRect(kList.mL - 1, kList.mT - 1, kList.mR + 1, kList.mB + 1), kFrame);
    for (int row = 0; row < VisibleRows(); ++row)
    {
        const int i = mTop + row;
        if (i >= static_cast<int>(mEntries.size()))
            break;
        const Listed& e = mEntries[static_cast<std::size_t>(i)];
        const int y = kList.mT + row * kRowHeight;
        ITextStyle style = text;
        if (i == mSelected)
        {
            LICE::FillRectangle(&b, kList.mL, y, kList.W(), kRowHeight,
                                mListActive ? kSelectionFace : kInactiveSelection, 1.0f,
                                LICE_BLIT_MODE_COPY);
            if (mListActive)
                style.mColor = IColorARGB(255, 255, 255, 255);
        }
        const std::string shown = e.mFolder && e.mName != ".." ? e.mName + "/" : e.mName;
        DrawTextOnSurface(b, style, shown.c_str(), IRect(kList.mL + 6, y + 2, kList.mR, y + 18));
    }

    DrawTextOnSurface(b, text, "File name:", IRect(10, kNameField.mT + 3, kNameField.mL, 280));
    LICE_MemBitmap field(kNameField.W() - 2, kNameField.H() - 2);
    ITextStyle fieldStyle = text;
    fieldStyle.mAlign = ITextStyle::kAlignNear;
    mName.Draw(field, fieldStyle, !mListActive);
    Outline(b, kNameField, kFrame);
    LICE::Blit(&b, &field, kNameField.mL + 1, kNameField.mT + 1, nullptr, 1.0f,
               LICE_BLIT_MODE_COPY);

    if (!mMessage.empty())
    {
        ITextStyle warn = text;
        warn.mColor = IColorARGB(255, 170, 0, 0);
        DrawTextOnSurface(b, warn, mMessage.c_str(), IRect(10, 281, kWidth - 10, 298));
    }
    for (const IRect* r : {&kOkButton, &kCancelButton})
    {
        LICE::FillRectangle(&b, r->mL, r->mT, r->W(), r->H(), kButtonFace, 1.0f,
                            LICE_BLIT_MODE_COPY);
        Outline(b, *r, kFrame);
    }
    ITextStyle centred = text;
    centred.mAlign = ITextStyle::kAlignCenter;
    DrawTextOnSurface(b, centred, mSave ? "Save" : "Open",
                      IRect(kOkButton.mL, kOkButton.mT + 4, kOkButton.mR, kOkButton.mB));
    DrawTextOnSurface(
        b, centred, "Cancel",
        IRect(kCancelButton.mL, kCancelButton.mT + 4, kCancelButton.mR, kCancelButton.mB));
}
