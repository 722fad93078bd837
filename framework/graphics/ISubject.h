#pragma once
// The observer side of every control: a list of observers, made on the first attach, and a
// changed flag that MarkDirty raises. The graphics context calls Notify for every control at
// the start of each frame, so an observer hears of any number of changes in a frame once.

#include "IObserverInterface.h"

#include <memory>
#include <vector>

class ISubject
{
public:
    ISubject() = default;
    ISubject(const ISubject&) = delete;
    ISubject& operator=(const ISubject&) = delete;
    virtual ~ISubject() = default;

    // [main-thread] Appends observer unless it is already attached; observers are not owned.
    void Attach(IObserverInterface* observer);
    // [main-thread] With the changed flag raised: clears it, then updates each observer in
    // attach order.
    void Notify() noexcept;
    bool Changed() const noexcept { return mChanged; }

protected:
    void RaiseChanged() noexcept { mChanged = true; }

private:
    std::unique_ptr<std::vector<IObserverInterface*>> mpObservers;
    bool mChanged = false;
};
