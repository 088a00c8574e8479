// CASN1_Message::Send through a real socket engine to a TCP peer on 127.0.0.1.
#include "Framework/asn1/ASN1.h"

#include "ASN1TestBytes.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelGraphics/KorvelApplication.h"
#include "SocketEngine/LoopbackPeer.h"
#include "SocketEngine/SocketEngine.h"

namespace
{
class CQuietObserver : public ISocketEngineObserver
{
public:
    void SocketEngineNotify(KE_SOCKETCODES code, int detail) override
    {
        m_iLastCode = code;
        m_iLastDetail = detail;
    }
    void SocketEngineDataReceived(unsigned char const*, int) override {}
    int m_iLastCode = -1;
    int m_iLastDetail = -1;
};

// An application with nothing to draw.
class CBareApplication : public IKorvelApplication
{
public:
    void OnFlip() override {}
};

// An engine started on a bare application, shut down at the end of the test.
struct sSTARTEDENGINE
{
    sSTARTEDENGINE() { EXPECT_EQ(1, m_Engine.Startup(&m_App, &m_Observer)); }
    ~sSTARTEDENGINE()
    {
        m_Engine.Disconnect(0, 0);
        m_Engine.Shutdown();
    }

    CBareApplication m_App;
    CQuietObserver m_Observer;
    CSocketEngine m_Engine;
};
} // namespace

TEST(CASN1_Message, SendsTheMeasuredBytesInOnePiece)
{
    sSTARTEDENGINE started;
    CSocketEngine& engine = started.m_Engine;
    CLoopbackPeer peer;
    ASSERT_EQ(1, engine.Connect(CKorvelString("127.0.0.1"), peer.Port(), nullptr));
    ASSERT_TRUE(peer.Accept());
    peer.StartReading();

    int iValue = -1;
    CKorvelString strUser(L"bob");
    CASN1_Message alive(44);
    alive.DefineField(new CASN1_IntField(iValue));
    CASN1_Message key(57);
    key.DefineField(new CASN1_StringField(strUser));
    EXPECT_EQ(alive.Send(engine), KE_OK);
    EXPECT_EQ(key.Send(engine), KE_OK);
    engine.Disconnect(0, 0);

    ASSERT_TRUE(peer.WaitForEof());
    const std::string& strGot = peer.Received();
    EXPECT_EQ(Bytes(strGot.begin(), strGot.end()), Hex("BF 2C 03 80 01 FF  BF 39 05 80 03 62 6F 62"));
}

TEST(CASN1_Message, SendWithoutConnectionIsReportedByTheEngine)
{
    sSTARTEDENGINE started;
    CASN1_Message logout(59);
    EXPECT_EQ(logout.Send(started.m_Engine), KE_OK);
    EXPECT_EQ(started.m_Observer.m_iLastCode, KE_SOCKET_CANNOTCONNECT);
    EXPECT_EQ(started.m_Observer.m_iLastDetail, KE_SOCKETDETAIL_SEND);
}

TEST(CASN1_Message, AMessageThatCannotBeEncodedIsNotSent)
{
    sSTARTEDENGINE started;
    CASN1_Message broken(5);
    broken.DefineField(nullptr);
    EXPECT_EQ(broken.Send(started.m_Engine), KE_ERR_BADDATA);
    EXPECT_EQ(started.m_Observer.m_iLastCode, -1);
}
