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

} // namespace

// A message that cannot be encoded is not sent; without a connection the engine
// reports the send; once connected the measured bytes go out in one piece each.
TEST(CASN1_Message, SendGoesThroughTheEngine)
{
    CBareApplication app;
    CQuietObserver observer;
    CSocketEngine engine;
    ASSERT_EQ(1, engine.Startup(&app, &observer));

    CASN1_Message broken(5);
    broken.DefineField(nullptr);
    EXPECT_EQ(broken.Send(engine), KE_ERR_BADDATA);
    EXPECT_EQ(observer.m_iLastCode, -1);
    CASN1_Message logout(59);
    EXPECT_EQ(logout.Send(engine), KE_OK);
    EXPECT_EQ(observer.m_iLastCode, KE_SOCKET_CANNOTCONNECT);
    EXPECT_EQ(observer.m_iLastDetail, KE_SOCKETDETAIL_SEND);

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
    engine.Shutdown();

    ASSERT_TRUE(peer.WaitForEof());
    const std::string& strGot = peer.Received();
    EXPECT_EQ(Bytes(strGot.begin(), strGot.end()), Hex("BF 2C 03 80 01 FF  BF 39 05 80 03 62 6F 62"));
}
