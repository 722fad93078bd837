#pragma once
// Playing the pattern from a keyboard: the keys held, the last key pressed and the key events
// of the block being processed, in fixed storage (they arrive on the audio thread). Off, the
// keys are only tracked. Transpose makes the last key pressed the tonic of every pulse from its
// offset on; transpose + gate also lets the pattern sound only while a key is held, and ends
// the sounding notes where the last key is let go.

#include <cstdint>

enum class KeyPlayMode : int
{
    kOff = 0,
    kTranspose = 1,
    kGate = 2,
};
inline constexpr int kNumKeyPlayModes = 3;

class KeyPlay
{
public:
    static constexpr int kCapacity = 256;

    struct KeyEvent
    {
        int32_t mOffset = 0; // in the host's block
        uint8_t mNote = 0;
        uint8_t mChannel = 0;
        bool mDown = false;
    };

    // Main thread, under the instance's lock. Leaving the key modes forgets the last key: the Tonic
    // parameter rules again.
    void SetMode(KeyPlayMode mode) noexcept;
    KeyPlayMode Mode() const noexcept { return mMode; }

    // Audio thread, under the instance's lock. A key pressed (down) or let go at offset in the
    // host's block; a note-on of velocity 0 is a release. False, storing nothing, when the queue is
    // full.
    bool Push(int offset, int channel, int note, bool down) noexcept;
    // Audio thread, under the instance's lock. The next ProcessBlock covers frames pieceStart ..
    // pieceStart + frames - 1 of the host's block; the last piece also takes the events beyond it.
    // Without a call the block is one whole piece.
    void BeginPiece(int pieceStart, int frames, bool lastPiece) noexcept;
    // Audio thread, by the engine at the start of a block of frames: a whole piece unless
    // BeginPiece said otherwise.
    void BeginBlock(int frames) noexcept;
    // The offset in the piece of the next event due in it at or before upTo, or -1.
    int NextDue(int upTo) const noexcept;
    // Applies the next due event; answers whether it closed the gate (the pattern stops
    // sounding at its offset).
    bool ApplyNext() noexcept;
    // After the piece: its events are gone, the next piece starts where it ended.
    void EndPiece() noexcept;
    // Forgets the waiting events (a suspend), not the keys held.
    void ClearQueue() noexcept { mCount = 0; }

    // Whether the pattern may sound now.
    bool Open() const noexcept { return mMode != KeyPlayMode::kGate || mHeldCount > 0; }
    // The tonic of a pulse now: the last key pressed in the key modes, else paramTonic.
    int Tonic(int paramTonic) const noexcept { return mLastKey >= 0 ? mLastKey : paramTonic; }
    int HeldKeys() const noexcept { return mHeldCount; }
    int LastKey() const noexcept { return mLastKey; }
    int Waiting() const noexcept { return mCount; }
    int Dropped() const noexcept { return mDropped; }

private:
    int LocalOffset(const KeyEvent& e) const noexcept;
    bool Due(const KeyEvent& e) const noexcept;

    KeyPlayMode mMode = KeyPlayMode::kOff;
    KeyEvent mQueue[kCapacity];
    int mCount = 0;
    int mNext = 0; // events before it were applied in this piece
    int mPieceStart = 0;
    int mPieceFrames = 0;
    bool mLastPiece = true;
    bool mPieceSet = false;
    uint16_t mHeld[128] = {}; // channel bits per key
    int mHeldCount = 0;       // keys with any channel bit
    int mLastKey = -1;
    int mDropped = 0;
};
