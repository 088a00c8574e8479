// The socket engine's two workers; only the engine uses them.
#pragma once

#include "SocketEngine/SocketEngine.h"

#include <atomic>

// Writes the queued messages one after the other, each completely.
class CSocketEngine::SendThread : public IKorvelThread
{
public:
    SendThread() : m_pEngine(nullptr), m_pBuffer(nullptr), m_uCapacity(0), m_bWorking(false) {}
    ~SendThread() override;

    unsigned int ThreadProc() override;
    unsigned int Startup(CSocketEngine* engine);
    void Shutdown();
    // True from Startup until the thread procedure has returned.
    bool IsWorking() const { return m_bWorking.load(); }

private:
    bool SendWhole(int size);

    CSocketEngine* m_pEngine;
    unsigned char* m_pBuffer; // grows to the largest message, reused
    unsigned int m_uCapacity;
    std::atomic<bool> m_bWorking;
};

// Reads the socket in chunks and queues each chunk for Update.
class CSocketEngine::ReceiveThread : public IKorvelThread
{
public:
    enum
    {
        BUFFER_SIZE = 65536
    };

    ReceiveThread() : m_pEngine(nullptr), m_bWorking(false) {}
    ~ReceiveThread() override;

    unsigned int ThreadProc() override;
    unsigned int Startup(CSocketEngine* engine);
    void Shutdown();
    bool IsWorking() const { return m_bWorking.load(); }

private:
    // True when the wake word arrived while the engine is closing.
    bool ReadWakeWords();

    unsigned char m_aBuffer[BUFFER_SIZE];
    CSocketEngine* m_pEngine;
    std::atomic<bool> m_bWorking;
};
