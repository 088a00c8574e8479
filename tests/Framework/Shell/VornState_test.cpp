// The state interface's own behaviour: its two flags and the defaults of its hooks.
#include <gtest/gtest.h>

#include "Framework/Shell/VornState.h"

namespace
{

class CBareState : public IVornState
{
public:
    KE_RETVAL Startup(CVornApplication*) override { return KE_OK; }
    void Shutdown() override {}
    void Activate() override {}
    void Deactivate() override {}
    unsigned int Update(float) override { return 0; }
    void Draw() override {}
};

TEST(IVornState, ExitAndRemoveFlagsAreIndependent)
{
    CBareState state;
    EXPECT_EQ(state.GetExit(), 0u);
    EXPECT_EQ(state.GetRemove(), 0u);
    state.Exit();
    EXPECT_EQ(state.GetExit(), 1u);
    EXPECT_EQ(state.GetRemove(), 0u);
    state.Remove();
    state.ResetExit();
    EXPECT_EQ(state.GetExit(), 0u);
    EXPECT_EQ(state.GetRemove(), 1u);
    state.ResetRemove();
    EXPECT_EQ(state.GetRemove(), 0u);
}

TEST(IVornState, AStateThatDoesNotOverrideAHookTakesThatInput)
{
    CBareState state;
    EXPECT_EQ(state.OnMouseButton(0, 1, 2), 1u);
    EXPECT_EQ(state.OnMouseDrag(0, 1, 2), 1u);
    EXPECT_EQ(state.OnMouseButtonUp(0, 1, 2), 1u);
    EXPECT_EQ(state.OnMouseWheel(3, 1, 2), 1u);
    EXPECT_EQ(state.OnKeyDown(KET_KEY_BACK), 1u);
    EXPECT_EQ(state.OnChar(65), 1u);
    EXPECT_EQ(state.OnScreenChanged(10, 20), 1u);
    EXPECT_EQ(state.OnFocusChange(0), 1u);
    EXPECT_EQ(state.OnRestoreResources(), KE_OK);
    EXPECT_EQ(state.OnReleaseResources(), KE_OK);
    EXPECT_EQ(state.OnLanguageChanged(CKorvelString("fi")), KE_OK);
}

} // namespace
