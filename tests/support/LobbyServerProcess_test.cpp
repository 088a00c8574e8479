// Starting the lobby server: one that ends before its ready line fails the start at once and
// names its own complaint.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "support/LobbyServerProcess.h"
#include "support/TestTempDir.h"

TEST(CLobbyServerProcess, AServerThatEndsBeforeItIsReadyFailsTheStartWithItsStandardError)
{
    CTestTempDir dir;
    CLobbyServerProcess server(dir.File("server.jsonl"));
    bool bStarted = true;
    EXPECT_NONFATAL_FAILURE(bStarted = server.Start({"--no-such-option"}), "--no-such-option");
    EXPECT_FALSE(bStarted);
    EXPECT_EQ(server.Stop(), -1) << "nothing is left running";
}
