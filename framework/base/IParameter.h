#pragma once
// One automatable parameter: its kind, its value in its own units, range, step, the shape of
// the curve that maps it to the host's 0..1 range, and the texts it shows.
//
// The value is written under the instance lock, on whatever thread the host changes it, and read
// by the editor's painting without the lock (a spinner's text, a read-out): it is stored and
// loaded whole, as one atomic word. Everything else is fixed once the parameter is initialised.

#include <atomic>
#include <vector>

class IParameter
{
public:
    enum EParamType
    {
        kTypeNone = 0,
        kTypeBool = 1,
        kTypeInt = 2,
        kTypeEnum = 3,
        kTypeDouble = 4,
    };

    static constexpr int kTextSize = 32; // name, label and display texts, NUL included
    static constexpr int kMaxPrecision = 6;

    // The initialisers set the type only while it is still kTypeNone, then fill the record.
    void InitBool(const char* name, bool defaultValue);
    void InitEnum(const char* name, int defaultValue, int count);
    void InitInt(const char* name, int defaultValue, int minValue, int maxValue,
                 const char* label = "");
    void InitDouble(const char* name, double defaultValue, double minValue, double maxValue,
                    double step, const char* label = "");

    // Appends a text shown for the value whose integer part is key. False when out of memory.
    bool AddDisplayText(int key, const char* text);

    // Host side of the value: x in 0..1 (outside values are clamped, not a number counts as 0).
    void SetNormalised(double x) noexcept;
    double Normalised() const noexcept { return ToNormalised(mValue.Load()); }
    // The plain value for a normalised one, and back (the value is clamped into the range).
    double FromNormalised(double x) const noexcept;
    // What SetNormalised(x) stores: FromNormalised(x) rounded to the step (real parameters are
    // not rounded), never above the maximum.
    double SteppedFromNormalised(double x) const noexcept;
    double ToNormalised(double value) const noexcept;

    // The text for x (plain, or normalised when normalised is set) into out, at most size bytes
    // with the terminating NUL.
    void DisplayText(double x, bool normalised, char* out, int size) const noexcept;
    // The key of the first display text equal to text (exact, case-sensitive); false if none.
    bool ValueForText(const char* text, int* key) const noexcept;

    int NDisplayTexts() const noexcept { return static_cast<int>(mDisplayTexts.size()); }
    // The text of entry idx (in insertion order) and its key; null outside the list.
    const char* DisplayTextAt(int idx, int* key) const noexcept;

    EParamType Type() const noexcept { return mType; }
    double Value() const noexcept { return mValue.Load(); }
    void SetValue(double value) noexcept { mValue.Store(value); }
    double Min() const noexcept { return mMin; }
    double Max() const noexcept { return mMax; }
    double Step() const noexcept { return mStep; }
    double Shape() const noexcept { return mShape; }
    // Shapes that are not positive finite numbers are ignored.
    void SetShape(double shape) noexcept;
    int Precision() const noexcept { return mPrecision; }
    bool NegateDisplay() const noexcept { return mNegateDisplay; }
    void SetNegateDisplay(bool negate) noexcept { mNegateDisplay = negate; }
    const char* Name() const noexcept { return mName; }
    const char* Label() const noexcept { return mLabel; }

private:
    // A double read and written whole by any thread; copies take the value.
    class AtomicValue
    {
    public:
        AtomicValue() noexcept = default;
        AtomicValue(const AtomicValue& other) noexcept : mV(other.Load()) {}
        AtomicValue& operator=(const AtomicValue& other) noexcept
        {
            Store(other.Load());
            return *this;
        }
        double Load() const noexcept { return mV.load(std::memory_order_relaxed); }
        void Store(double v) noexcept { mV.store(v, std::memory_order_relaxed); }

    private:
        std::atomic<double> mV{0.0};
    };
    static_assert(std::atomic<double>::is_always_lock_free,
                  "a parameter's value must be a plain load and store on every target");

    struct DisplayTextEntry
    {
        int mKey;
        char mText[kTextSize];
    };

    EParamType mType = kTypeNone;
    AtomicValue mValue;
    double mMin = 0.0;
    double mMax = 1.0;
    double mStep = 1.0;
    double mShape = 1.0;
    int mPrecision = 0;
    char mName[kTextSize] = {};
    char mLabel[kTextSize] = {};
    bool mNegateDisplay = false;
    std::vector<DisplayTextEntry> mDisplayTexts;
};
