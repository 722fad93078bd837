#pragma once
// Counts calls of the global allocation functions while a counting scope is open. The counting
// replacements of operator new and delete live in AllocationCounter.cpp, which a test program
// compiles in directly (a static library member would not be linked in to replace them).

class AllocationCounter
{
public:
    AllocationCounter() noexcept;
    ~AllocationCounter();
    AllocationCounter(const AllocationCounter&) = delete;
    AllocationCounter& operator=(const AllocationCounter&) = delete;

    // Allocations since this counter was made, on any thread.
    long Allocations() const noexcept;
    long Deallocations() const noexcept;
    // Allocations made, on any thread, while it ran a section another thread handed it
    // (IMutex::RunsHandedWork): there nothing may allocate.
    static long InHandedWork() noexcept;

private:
    long mStartNew;
    long mStartDelete;
};
