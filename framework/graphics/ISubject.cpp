#include "ISubject.h"
#include "ThreadRole.h"

#include <algorithm>

void ISubject::Attach(IObserverInterface* observer)
{
    ORX_MAIN_THREAD();
    if (!observer)
        return;
    if (!mpObservers)
        mpObservers = std::make_unique<std::vector<IObserverInterface*>>();
    if (std::find(mpObservers->begin(), mpObservers->end(), observer) == mpObservers->end())
        mpObservers->push_back(observer);
}

void ISubject::Notify() noexcept
{
    ORX_MAIN_THREAD();
    if (!mpObservers || !mChanged)
        return;
    mChanged = false;
    // By index: an observer may attach another one while it is updated.
    for (std::size_t i = 0; i < mpObservers->size(); ++i)
        (*mpObservers)[i]->Update(*this);
}
