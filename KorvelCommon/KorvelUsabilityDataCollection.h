// Records a session of input as frames (frame time and the events that arrived in
// it) for playback through the application's frame loop, and keeps it in the
// recorder's own file format "KUDC" (the shell's "usage.dat"):
//   "KUDC", title (string record), u32 width, u32 height, u32 frame count F,
//   F x { f32 frame time, u32 event count E, E x 28-byte event }, little-endian.
#pragma once

#include "KorvelCommon/KorvelPtrArray.h"
#include "KorvelCommon/KorvelTypes.h"

class CKorvelEvent;
class CKorvelString;
class CKorvelFile;
class IKorvelApplication;

struct SKE_USABILITYFRAME
{
    float m_fTime = 0.0f;     // seconds, as the application's frame time
    CKorvelPtrArray m_Events; // owned CKorvelEvent copies
};

class CKorvelUsabilityDataCollection
{
public:
    CKorvelUsabilityDataCollection() : m_pApp(nullptr), m_uBytes(0) {}
    // Frees the frames array only: owners call Shutdown first.
    virtual ~CKorvelUsabilityDataCollection() {}

    int Startup(IKorvelApplication* pApp); // 1
    // Deletes every frame and event.
    void Shutdown();

    // The index of the new, empty frame (-1 when memory ran out).
    int AddFrame(float fTime);
    // Ignored for a frame index out of range.
    void AddEventToFrame(unsigned int uFrame, const CKorvelEvent& event);

    unsigned int GetFrameCount() const { return static_cast<unsigned int>(m_Frames.GetCount()); }
    SKE_USABILITYFRAME* GetFrame(unsigned int uFrame) const; // null out of range
    float GetFrameTime(unsigned int uFrame) const;           // 0 out of range
    unsigned int GetFrameEventCount(unsigned int uFrame) const;
    CKorvelEvent* GetFrameEvent(unsigned int uFrame, unsigned int uEvent) const;
    // Roughly the recording's size: 4 per frame and 32 per event added.
    unsigned int GetByteCount() const { return m_uBytes; }

    // Writes the recording with the application's title and drawing-target size.
    // 1; 10 when the file cannot be opened, 9 when not every byte was written.
    KE_RETVAL Save(const CKorvelString& strPath) const;
    // Appends the file's frames to those held. 1; 10 when the file cannot be opened,
    // 11 for another magic, 4 when the data ends early or a count runs past its end
    // (the frames complete before that point are kept).
    KE_RETVAL Load(const CKorvelString& strPath);
    // Load from an open file at its position.
    KE_RETVAL Load(CKorvelFile& file);

private:
    IKorvelApplication* m_pApp;
    CKorvelPtrArray m_Frames; // owned SKE_USABILITYFRAME
    unsigned int m_uBytes;
};
