#include "Configurable.h"

#include "Check.h"

namespace
{
constexpr const char* kTag = "src/Configurable";
constexpr double kLargest = 1e300;
} // namespace

void Configurable::SetName(const char* pName)
{
    ORX_CHECK(kTag, pName, "pName");
    if (pName)
        mName = pName;
}

void Configurable::SetString(const char* pString)
{
    ORX_CHECK(kTag, pString, "pString");
    if (pString)
        mStringValue = pString;
}

void Configurable::SetFromConfigurationFile(const char* pValue)
{
    SetString(pValue);
    if (pValue)
        mNumericValue = LeadingWholeNumber(pValue);
}

double LeadingWholeNumber(const char* text)
{
    if (!text)
        return 0.0;
    while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\r' || *text == '\v' ||
           *text == '\f')
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';
    double value = 0.0;
    for (; *text >= '0' && *text <= '9'; ++text)
        if (value < kLargest)
            value = value * 10.0 + (*text - '0');
    return negative ? -value : value;
}
