#pragma once
// The static record that ties a parameter index to its name, its initial values and the
// handler that carries a change of its value into the engine. One table per parameter kind;
// the instance initialises its parameter records from them and keeps a pointer per index.

class Orlantix;
struct ParamChangeDesc;

// Runs under the instance lock with the parameter's plain value.
using ParamChangeHandler = void (*)(Orlantix& plug, const ParamChangeDesc& desc, double value);

struct ParamChangeDesc
{
    const char* mName;
    const char* mLabel;
    int mParamIdx;
    ParamChangeHandler mHandler;
};

struct IntParamDesc : ParamChangeDesc
{
    int mDefault;
    int mMin;
    int mMax;
};

struct BoolParamDesc : ParamChangeDesc
{
    bool mDefault;
};

struct EnumParamDesc : ParamChangeDesc
{
    int mDefault;
    int mCount;
    const char* const* mpTexts; // mCount display texts, one per value
};

struct DoubleParamDesc : ParamChangeDesc
{
    double mDefault;
    double mMin;
    double mMax;
    double mStep;
};

// A command button: a real number 0..1 in steps of 1, default 0.
struct TriggerParamDesc : ParamChangeDesc
{
};

// The five tables, in the order the instance initialises them.
struct ParamTables
{
    const IntParamDesc* mpInts;
    int mNumInts;
    const BoolParamDesc* mpBools;
    int mNumBools;
    const EnumParamDesc* mpEnums;
    int mNumEnums;
    const DoubleParamDesc* mpDoubles;
    int mNumDoubles;
    const TriggerParamDesc* mpTriggers;
    int mNumTriggers;
};

const ParamTables& OrlantixParamTables() noexcept;
