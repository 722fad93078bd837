#include "IParameter.h"

#include "TextUtil.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace
{

// Smallest n in 0..6 for which step * 10^n is a whole number; 6 when none is.
int PrecisionOfStep(double step) noexcept
{
    int n = 0;
    while (n < IParameter::kMaxPrecision && step != std::floor(step))
    {
        step *= 10.0;
        ++n;
    }
    return n;
}

} // namespace

void IParameter::InitDouble(const char* name, double defaultValue, double minValue, double maxValue,
                            double step, const char* label)
{
    if (mType == kTypeNone)
        mType = kTypeDouble;
    orx::CopyText(mName, sizeof(mName), name);
    orx::CopyText(mLabel, sizeof(mLabel), label);
    mValue.Store(defaultValue);
    mMin = minValue;
    mMax = std::max(maxValue, minValue + step);
    mStep = step;
    mPrecision = PrecisionOfStep(step);
}

void IParameter::InitInt(const char* name, int defaultValue, int minValue, int maxValue,
                         const char* label)
{
    if (mType == kTypeNone)
        mType = kTypeInt;
    InitDouble(name, defaultValue, minValue, maxValue, 1.0, label);
}

void IParameter::InitEnum(const char* name, int defaultValue, int count)
{
    if (mType == kTypeNone)
        mType = kTypeEnum;
    InitDouble(name, defaultValue, 0.0, count - 1.0, 1.0, "");
}

void IParameter::InitBool(const char* name, bool defaultValue)
{
    if (mType == kTypeNone)
        mType = kTypeBool;
    InitDouble(name, defaultValue ? 1.0 : 0.0, 0.0, 1.0, 1.0, "");
    AddDisplayText(0, "off");
    AddDisplayText(1, "on");
}

bool IParameter::AddDisplayText(int key, const char* text)
{
    DisplayTextEntry entry{key, {}};
    orx::CopyText(entry.mText, sizeof(entry.mText), text);
    try
    {
        mDisplayTexts.push_back(entry);
        return true;
    }
    catch (...)
    {
        return false;
    }
}

void IParameter::SetShape(double shape) noexcept
{
    if (std::isfinite(shape) && shape > 0.0)
        mShape = shape;
}

double IParameter::FromNormalised(double x) const noexcept
{
    // A host may send anything; outside 0..1 the curve is undefined for fractional shapes.
    if (!(x > 0.0))
        x = 0.0;
    else if (x > 1.0)
        x = 1.0;
    return mMin + std::pow(x, mShape) * (mMax - mMin);
}

double IParameter::ToNormalised(double value) const noexcept
{
    if (!(mMax > mMin))
        return 0.0;
    const double v = std::clamp(std::isnan(value) ? mMin : value, mMin, mMax);
    return std::pow((v - mMin) / (mMax - mMin), 1.0 / mShape);
}

double IParameter::SteppedFromNormalised(double x) const noexcept
{
    double v = FromNormalised(x);
    if (mType != kTypeDouble && mStep > 0.0)
        v = std::floor(v / mStep + 0.5) * mStep;
    return std::min(v, mMax);
}

void IParameter::SetNormalised(double x) noexcept
{
    mValue.Store(SteppedFromNormalised(x));
}

void IParameter::DisplayText(double x, bool normalised, char* out, int size) const noexcept
{
    if (!out || size <= 0)
        return;
    double v = normalised ? FromNormalised(x) : x;
    const int key = orx::TruncateToInt(v);
    for (const DisplayTextEntry& entry : mDisplayTexts)
    {
        if (entry.mKey == key && entry.mText[0])
        {
            orx::CopyText(out, static_cast<std::size_t>(size), entry.mText);
            return;
        }
    }
    if (mNegateDisplay)
        v = -v;
    if (v == 0.0)
        std::snprintf(out, static_cast<std::size_t>(size), "0");
    else if (mPrecision == 0)
        std::snprintf(out, static_cast<std::size_t>(size), "%d", orx::TruncateToInt(v));
    else
        std::snprintf(out, static_cast<std::size_t>(size), "%.*f", mPrecision, v);
}

bool IParameter::ValueForText(const char* text, int* key) const noexcept
{
    if (!text)
        return false;
    for (const DisplayTextEntry& entry : mDisplayTexts)
    {
        if (std::strcmp(entry.mText, text) == 0)
        {
            if (key)
                *key = entry.mKey;
            return true;
        }
    }
    return false;
}

const char* IParameter::DisplayTextAt(int idx, int* key) const noexcept
{
    if (idx < 0 || idx >= NDisplayTexts())
        return nullptr;
    if (key)
        *key = mDisplayTexts[static_cast<std::size_t>(idx)].mKey;
    return mDisplayTexts[static_cast<std::size_t>(idx)].mText;
}
