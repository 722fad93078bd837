#pragma once
// A plug-in's parameters as the layers that show, store or edit them see them: the preset text,
// the editor's controls. The plug-in base is one; nothing else about the plug-in is visible
// through it. Thread tags: ThreadTags.h.

class IParameter;

class IParamTable
{
public:
    // [any-thread] The number of parameters and one of them, or null for an index out of range.
    virtual int NParams() const noexcept = 0;
    virtual IParameter* GetParam(int idx) noexcept = 0;
    virtual const IParameter* GetParam(int idx) const noexcept = 0;

protected:
    ~IParamTable() = default;
};
