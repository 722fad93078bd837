#pragma once
// Something that wants to hear when a control changed (see ISubject).

class ISubject;

class IObserverInterface
{
public:
    // [main-thread] Called once per frame in which the subject's changed flag was raised.
    virtual void Update(ISubject& subject) noexcept = 0;
    virtual ~IObserverInterface() = default;
};
