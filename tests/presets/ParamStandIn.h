#pragma once
// A plug-in with a handful of named parameters of every kind at the indices the product uses,
// for tests of the stored forms that need parameter records but not the product's handlers.

#include "IPlugVST.h"

class ParamStandIn : public IPlugVST
{
public:
    static constexpr int kParams = 250;

    ParamStandIn()
        : IPlugVST(nullptr, kParams, "1-1 2-2", 1, "StandIn", "", "Tests", 0x10000, 1, 2, 0, true,
                   true, true)
    {
        GetParam(0)->InitEnum("TimeUnits", 3, 17);
        GetParam(2)->InitDouble("Slow", 1.0, 0.1, 4.0, 0.01);
        GetParam(4)->InitInt("Chan", 1, 1, 16);
        GetParam(5)->InitInt("Vel", 100, 0, 127);
        GetParam(9)->InitEnum("Tonic", 60, 128);
        GetParam(10)->InitInt("NumStep", 12, 1, 12);
        GetParam(25)->InitBool("SeqEnab", true);
        GetParam(62)->InitInt("gmLock0", 0, 0, 1);
        GetParam(160)->InitDouble("", 0.0, 0.0, 1.0, 1.0);
        GetParam(182)->InitDouble("StkRst", 0.0, 0.0, 1.0, 1.0);
        GetParam(215)->InitDouble("M D", 0.0, 0.0, 1.0, 1.0);
        GetParam(220)->InitDouble("M D", 0.0, 0.0, 1.0, 1.0);
        GetParam(240)->InitBool("RowSolo1", false);
    }
};
