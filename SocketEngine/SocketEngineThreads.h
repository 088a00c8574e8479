// The socket engine's two workers; only the engine uses them.
#pragma once

#include "SocketEngine/SocketEngine.h"

// Writes the queued messages one after the other, each completely.
class CSocketEngine::SendThread : public IKorvelThread
{
public:
    SendThread() : m_pEngine(nullptr), m_pBuffer(nullptr), m_uCapacity(0) {}
    ~SendThread() override;

    unsigned int ThreadProc() override;
    int Startup(CSocketEngine* engine);
    void Shutdown();

private:
    bool SendWhole(int size);

    CSocketEngine* m_pEngine;
    unsigned char* m_pBuffer; // grows to the largest message, reused
    unsigned int m_uCapacity;
};

// Reads the socket in chunks and queues each chunk for Update.
class CSocketEngine::ReceiveThread : public IKorvelThread
{
public:
    enum
    {
        BUFFER_SIZE = 65536
    };

    ReceiveThread() : m_pEngine(nullptr) {}
    ~ReceiveThread() override;

    unsigned int ThreadProc() override;
    int Startup(CSocketEngine* engine);
    void Shutdown();

private:
    // True when the wake word arrived while the engine is closing.
    bool ReadWakeWords();

    unsigned char m_aBuffer[BUFFER_SIZE];
    CSocketEngine* m_pEngine;
};
