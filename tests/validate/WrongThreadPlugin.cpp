// A plug-in of framework code that breaks its thread tags on purpose, for the validator's
// threaded runs: its first process block asks for the host's id, a main-thread entry, and its
// first parameter change after a block reads where the piece being processed lies, an
// audio-thread entry, on whatever thread the change came (the second thread of the threaded
// scenarios). Both calls only read what is stored; the checks report them, and a run that logs
// its checks shows the reports, once each per instance.

#include "VstEntry.h"

#include "TextUtil.h"

namespace
{

class WrongThreadPlugin final : public IPlugVST
{
public:
    explicit WrongThreadPlugin(vst2::HostCallback host)
        : IPlugVST(host, 2, "2-2", 1, "OrxWrongThread", "", "Orlantix Tests", 0x10000,
                   orx::FourCC("OxWt"), orx::FourCC("OxTs"), 0, true, true, false)
    {
        GetParam(0)->InitDouble("Gain", 1.0, 0.0, 2.0, 0.01);
        GetParam(1)->InitBool("Echo", false);
    }

    void HandleParamChange(int /*paramIdx*/) override
    {
        IMutexLock lock(Mutex());
        if (mProcessed && !mReadPiece)
        {
            mReadPiece = true;
            static_cast<void>(PieceOffset());
        }
    }

    void ProcessBlock(double** inputs, double** outputs, int nFrames) override
    {
        if (!mProcessed)
        {
            mProcessed = true;
            static_cast<void>(HostId());
        }
        IPlugVST::ProcessBlock(inputs, outputs, nFrames);
    }

private:
    // Under the instance lock.
    bool mProcessed = false;
    bool mReadPiece = false;
};

} // namespace

IPlugVST* MakePlugInstance(vst2::HostCallback host)
{
    return new WrongThreadPlugin(host);
}
