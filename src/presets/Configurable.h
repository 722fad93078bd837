#pragma once
// One named configuration value that the configuration file can override.

#include <string>

class Configurable
{
public:
    Configurable() = default;

    const std::string& Name() const { return mName; }
    const std::string& StringValue() const { return mStringValue; }
    double NumericValue() const { return mNumericValue; }

    // Both replace the owned text by a fresh copy; null is reported and ignored.
    void SetName(const char* pName);
    void SetString(const char* pString);
    // The string value and its whole-number prefix, as read from the configuration file.
    void SetFromConfigurationFile(const char* pValue);

private:
    std::string mName;
    std::string mStringValue;
    double mNumericValue = 0.0;
};

// The whole number at the start of text: leading white space and a sign allowed, 0 without
// digits. Saturates instead of overflowing, whatever the file holds.
double LeadingWholeNumber(const char* text);
