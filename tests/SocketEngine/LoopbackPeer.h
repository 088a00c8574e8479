// A small TCP server on 127.0.0.1 for the socket engine tests: one listening
// socket on an ephemeral port and at most one accepted client at a time.
#pragma once

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "support/WaitLimit.h"

class CLoopbackPeer
{
public:
    CLoopbackPeer()
    {
        m_iListen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        // On failure the port stays 0 and every connection to it fails.
        if (bind(m_iListen, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
            listen(m_iListen, 4) != 0)
            return;
        socklen_t length = sizeof(address);
        getsockname(m_iListen, reinterpret_cast<sockaddr*>(&address), &length);
        m_uPort = ntohs(address.sin_port);
    }
    ~CLoopbackPeer()
    {
        StopReading();
        CloseClient();
        close(m_iListen);
    }

    unsigned int Port() const { return m_uPort; }

    // A loopback port with nobody listening on it.
    static unsigned int ClosedPort()
    {
        CLoopbackPeer peer;
        return peer.Port();
    }

    bool Accept(int timeoutMs = TEST_WAIT_LIMIT_MS)
    {
        pollfd ready = {m_iListen, POLLIN, 0};
        if (poll(&ready, 1, timeoutMs) != 1)
            return false;
        m_iClient = accept4(m_iListen, nullptr, nullptr, SOCK_CLOEXEC);
        return m_iClient >= 0;
    }

    // Waits until bytes sent to the peer have come in, unread.
    bool WaitForBytes(int timeoutMs = TEST_WAIT_LIMIT_MS)
    {
        pollfd ready = {m_iClient, POLLIN, 0};
        return poll(&ready, 1, timeoutMs) == 1;
    }

    void ShrinkReceiveBuffer()
    {
        int size = 4096;
        setsockopt(m_iClient, SOL_SOCKET, SO_RCVBUF, &size, sizeof(size));
    }

    bool Write(const std::string& bytes)
    {
        size_t done = 0;
        while (done < bytes.size())
        {
            const ssize_t n = send(m_iClient, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            done += static_cast<size_t>(n);
        }
        return true;
    }

    void CloseClient()
    {
        if (m_iClient >= 0)
            close(m_iClient);
        m_iClient = -1;
    }

    // Closes with a reset instead of an orderly end of stream.
    void ResetClient()
    {
        linger hard = {1, 0};
        setsockopt(m_iClient, SOL_SOCKET, SO_LINGER, &hard, sizeof(hard));
        CloseClient();
    }

    // Reads on a thread of its own until the client ends the stream.
    void StartReading()
    {
        m_bEof = false;
        m_Reader = std::thread(
            [this]
            {
                char buffer[65536];
                for (;;)
                {
                    const ssize_t n = recv(m_iClient, buffer, sizeof(buffer), 0);
                    if (n <= 0)
                        break;
                    m_strReceived.append(buffer, static_cast<size_t>(n));
                }
                m_bEof = true;
            });
    }

    // Waits for the end of the stream; what was read is then in Received().
    bool WaitForEof(int timeoutMs = TEST_WAIT_LIMIT_MS)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!m_bEof && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        const bool eof = m_bEof;
        if (eof)
            StopReading();
        return eof;
    }

    const std::string& Received() const { return m_strReceived; }

private:
    void StopReading()
    {
        if (!m_Reader.joinable())
            return;
        if (!m_bEof && m_iClient >= 0)
            shutdown(m_iClient, SHUT_RDWR);
        m_Reader.join();
    }

    int m_iListen = -1;
    int m_iClient = -1;
    unsigned int m_uPort = 0;
    std::thread m_Reader;
    std::atomic<bool> m_bEof{false};
    std::string m_strReceived;
};
