#pragma once
// How a control's drawing combines with what lies beneath it: the method and an opacity
// (1.0 = opaque).

struct IBlendSpec
{
    enum EMethod
    {
        kBlendNone = 0,       // copy with the source's alpha
        kBlendClobber = 1,    // plain copy
        kBlendAdd = 2,        // additive with the source's alpha
        kBlendColorDodge = 3, // colour dodge with the source's alpha
    };

    int mMethod = kBlendNone;
    float mWeight = 1.0f;
};
