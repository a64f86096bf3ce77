// The arc-ball's sphere mapping, its drags (rotate, pan, dolly) and the axis-to-axis quaternion.
#include "framework/arcball.h"
#include "platform/win32/messages.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kTolerance = 1e-5f;

void ExpectVector(const D3DXVECTOR3 &actual, float x, float y, float z) {
    EXPECT_NEAR(actual.x, x, kTolerance);
    EXPECT_NEAR(actual.y, y, kTolerance);
    EXPECT_NEAR(actual.z, z, kTolerance);
}

void ExpectMatrix(const D3DXMATRIX &actual, const D3DXMATRIX &expected) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(actual.m[r][c], expected.m[r][c], kTolerance) << "at " << r << "," << c;
}

D3DXMATRIX Identity() {
    D3DXMATRIX m;
    return *D3DXMatrixIdentity(&m);
}

D3DXMATRIX Translation(float x, float y, float z) {
    D3DXMATRIX m;
    return *D3DXMatrixTranslation(&m, x, y, z);
}

D3DXVECTOR3 Transform(const D3DXVECTOR3 &v, const D3DXMATRIX *m) {
    D3DXVECTOR3 out;
    return *D3DXVec3TransformCoord(&out, &v, m);
}

BOOL Send(ArcBall &ball, UINT message, WPARAM keys, int x, int y) {
    return ball.HandleMouseMessage(nullptr, message, keys, MAKELPARAM(x, y));
}

TEST(ArcBallSphere, CentreIsTheSphereTop) {
    ArcBall ball;
    ball.SetWindow(640, 480, 0.85f);
    ExpectVector(ball.ScreenToVector(320, 240), 0.0f, 0.0f, 1.0f);
}

TEST(ArcBallSphere, XGrowsLeftAndOutsidePointsLandOnTheRim) {
    ArcBall ball;
    ball.SetWindow(200, 100, 1.0f);
    ExpectVector(ball.ScreenToVector(0, 50), 1.0f, 0.0f, 0.0f);
    ExpectVector(ball.ScreenToVector(150, 50), -0.5f, 0.0f, std::sqrt(0.75f));
    ExpectVector(ball.ScreenToVector(100, 100), 0.0f, 1.0f, 0.0f); // y grows downward
    // Beyond the sphere: scaled back onto the rim, direction kept.
    ExpectVector(ball.ScreenToVector(-300, 50), 1.0f, 0.0f, 0.0f);
    const D3DXVECTOR3 corner = ball.ScreenToVector(200, 100);
    EXPECT_NEAR(corner.x, -std::sqrt(0.5f), kTolerance);
    EXPECT_NEAR(corner.y, std::sqrt(0.5f), kTolerance);
    EXPECT_EQ(corner.z, 0.0f);
}

TEST(ArcBallSphere, HalvesOfOddSizesAreWholeNumbers) {
    ArcBall ball;
    ball.SetWindow(201, 101, 1.0f);
    // The centre is pixel (100, 50), not (100.5, 50.5).
    ExpectVector(ball.ScreenToVector(100, 50), 0.0f, 0.0f, 1.0f);
}

TEST(ArcBallSphere, NoWindowYetGivesTheTopInsteadOfNaN) {
    ArcBall ball;
    ExpectVector(ball.ScreenToVector(10, 20), 0.0f, 0.0f, 1.0f);
    ball.SetWindow(0, 0, 1.0f);
    ExpectVector(ball.ScreenToVector(10, 20), 0.0f, 0.0f, 1.0f);
}

TEST(QuaternionAxes, QuarterTurnAboutZ) {
    D3DXQUATERNION q;
    const D3DXVECTOR3 from(1, 0, 0), to(0, 1, 0);
    EXPECT_EQ(QuaternionFromAxes(&q, &from, &to), &q);
    const float h = std::sqrt(0.5f);
    EXPECT_NEAR(q.x, 0.0f, kTolerance);
    EXPECT_NEAR(q.y, 0.0f, kTolerance);
    EXPECT_NEAR(q.z, h, kTolerance);
    EXPECT_NEAR(q.w, h, kTolerance);
}

TEST(QuaternionAxes, LengthsDoNotMatterAndTheResultTurnsFromOntoTo) {
    D3DXQUATERNION q;
    const D3DXVECTOR3 from(0, 0, 7), to(3, 4, 0);
    QuaternionFromAxes(&q, &from, &to);
    EXPECT_NEAR(D3DXQuaternionLength(&q), 1.0f, kTolerance);
    D3DXMATRIX m;
    D3DXMatrixRotationQuaternion(&m, &q);
    ExpectVector(Transform(D3DXVECTOR3(0, 0, 1), &m), 0.6f, 0.8f, 0.0f);
}

TEST(QuaternionAxes, UnitAxesAreCrossAndDot) {
    D3DXQUATERNION q;
    const D3DXVECTOR3 from(1, 0, 0), to(0, 0, 1);
    EXPECT_EQ(QuaternionFromUnitAxes(&q, &from, &to), &q);
    EXPECT_EQ(q, D3DXQUATERNION(0, -1, 0, 0));
}

TEST(QuaternionAxes, OppositeDirectionsMakeAHalfTurn) {
    for (const D3DXVECTOR3 from :
         {D3DXVECTOR3(1, 0, 0), D3DXVECTOR3(0, 1, 0), D3DXVECTOR3(0, 0, 2)}) {
        D3DXQUATERNION q;
        const D3DXVECTOR3 to = -from;
        QuaternionFromAxes(&q, &from, &to);
        EXPECT_NEAR(D3DXQuaternionLength(&q), 1.0f, kTolerance);
        EXPECT_NEAR(q.w, 0.0f, kTolerance);
        D3DXMATRIX m;
        D3DXMatrixRotationQuaternion(&m, &q);
        D3DXVECTOR3 unit;
        D3DXVec3Normalize(&unit, &from);
        const D3DXVECTOR3 turned = Transform(unit, &m);
        ExpectVector(turned, -unit.x, -unit.y, -unit.z);
    }
}

class ArcBallDrag : public ::testing::Test {
protected:
    void SetUp() override { m_ball.SetWindow(200, 200, 1.0f); }
    ArcBall m_ball;
};

TEST_F(ArcBallDrag, StartsStillAndUndragged) {
    ExpectMatrix(*m_ball.GetRotationMatrix(), Identity());
    ExpectMatrix(*m_ball.GetRotationDeltaMatrix(), Identity());
    ExpectMatrix(*m_ball.GetTranslationMatrix(), Identity());
    ExpectMatrix(*m_ball.GetTranslationDeltaMatrix(), Identity());
    EXPECT_FALSE(m_ball.IsBeingDragged());
}

TEST_F(ArcBallDrag, LeftDragTurnsTheDownPointOntoThePointer) {
    EXPECT_TRUE(Send(m_ball, WM_LBUTTONDOWN, MK_LBUTTON, 100, 100));
    EXPECT_TRUE(m_ball.IsBeingDragged());
    EXPECT_TRUE(Send(m_ball, WM_MOUSEMOVE, MK_LBUTTON, 0, 100));
    // From the top of the sphere to its left rim (x grows to the left): a quarter turn about +y.
    ExpectVector(Transform(D3DXVECTOR3(0, 0, 1), m_ball.GetRotationMatrix()), 1, 0, 0);
    ExpectMatrix(*m_ball.GetRotationDeltaMatrix(), *m_ball.GetRotationMatrix());
    EXPECT_TRUE(Send(m_ball, WM_LBUTTONUP, 0, 0, 100));
    EXPECT_FALSE(m_ball.IsBeingDragged());
}

TEST_F(ArcBallDrag, EachMoveIsMeasuredFromTheDownPointNotTheLastMove) {
    Send(m_ball, WM_LBUTTONDOWN, MK_LBUTTON, 100, 100);
    Send(m_ball, WM_MOUSEMOVE, MK_LBUTTON, 30, 100);
    Send(m_ball, WM_MOUSEMOVE, MK_LBUTTON, 0, 100);
    ExpectVector(Transform(D3DXVECTOR3(0, 0, 1), m_ball.GetRotationMatrix()), 1, 0, 0);
    // The delta is the whole turn since the button went down.
    ExpectMatrix(*m_ball.GetRotationDeltaMatrix(), *m_ball.GetRotationMatrix());
}

TEST_F(ArcBallDrag, SecondDragAddsToTheFirst) {
    Send(m_ball, WM_LBUTTONDOWN, MK_LBUTTON, 100, 100);
    Send(m_ball, WM_MOUSEMOVE, MK_LBUTTON, 0, 100);
    const D3DXMATRIX first = *m_ball.GetRotationMatrix();
    Send(m_ball, WM_LBUTTONUP, 0, 0, 100);

    Send(m_ball, WM_LBUTTONDOWN, MK_LBUTTON, 100, 100);
    Send(m_ball, WM_MOUSEMOVE, MK_LBUTTON, 100, 200);
    const D3DXMATRIX second = *m_ball.GetRotationDeltaMatrix();
    // Row vectors: the earlier turn applies first.
    ExpectMatrix(*m_ball.GetRotationMatrix(), first * second);
    ExpectVector(Transform(D3DXVECTOR3(0, 0, 1), &second), 0, 1, 0);
}

TEST_F(ArcBallDrag, MoveWithoutButtonDownStartsDraggingWithoutTurning) {
    EXPECT_TRUE(Send(m_ball, WM_MOUSEMOVE, MK_LBUTTON, 10, 30));
    EXPECT_TRUE(m_ball.IsBeingDragged());
    ExpectMatrix(*m_ball.GetRotationDeltaMatrix(), Identity());
    ExpectMatrix(*m_ball.GetRotationMatrix(), Identity());
}

TEST_F(ArcBallDrag, DragAcrossTheWholeSphereKeepsTurningAfterwards) {
    // Left rim to right rim is a half turn; the ball must not get stuck on a zero rotation.
    Send(m_ball, WM_LBUTTONDOWN, MK_LBUTTON, 0, 100);
    Send(m_ball, WM_MOUSEMOVE, MK_LBUTTON, 200, 100);
    ExpectVector(Transform(D3DXVECTOR3(1, 0, 0), m_ball.GetRotationMatrix()), -1, 0, 0);
    Send(m_ball, WM_LBUTTONUP, 0, 200, 100);

    Send(m_ball, WM_LBUTTONDOWN, MK_LBUTTON, 100, 100);
    Send(m_ball, WM_MOUSEMOVE, MK_LBUTTON, 0, 100);
    ExpectVector(Transform(D3DXVECTOR3(-1, 0, 0), m_ball.GetRotationMatrix()), 0, 0, -1);
}

TEST_F(ArcBallDrag, RightDragPansByTheTranslationRadius) {
    m_ball.SetWindow(200, 100, 1.0f);
    m_ball.SetTranslationRadius(2.0f);
    EXPECT_TRUE(Send(m_ball, WM_RBUTTONDOWN, MK_RBUTTON, 100, 50));
    EXPECT_TRUE(Send(m_ball, WM_MOUSEMOVE, MK_RBUTTON, 120, 40));
    ExpectMatrix(*m_ball.GetTranslationDeltaMatrix(), Translation(0.4f, 0.4f, 0.0f));
    EXPECT_TRUE(Send(m_ball, WM_MOUSEMOVE, MK_RBUTTON, 130, 40));
    ExpectMatrix(*m_ball.GetTranslationDeltaMatrix(), Translation(0.2f, 0.0f, 0.0f));
    ExpectMatrix(*m_ball.GetTranslationMatrix(), Translation(0.6f, 0.4f, 0.0f));
    ExpectMatrix(*m_ball.GetRotationMatrix(), Identity());
}

TEST_F(ArcBallDrag, MiddleDragDolliesAlongZ) {
    m_ball.SetWindow(200, 100, 1.0f);
    Send(m_ball, WM_MBUTTONDOWN, MK_MBUTTON, 50, 50);
    Send(m_ball, WM_MOUSEMOVE, MK_MBUTTON, 80, 40); // only the vertical movement counts
    ExpectMatrix(*m_ball.GetTranslationMatrix(), Translation(0.0f, 0.0f, 0.5f));
}

TEST_F(ArcBallDrag, LeftButtonWinsOverTheOthers) {
    Send(m_ball, WM_RBUTTONDOWN, MK_RBUTTON, 100, 100);
    Send(m_ball, WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON, 0, 100);
    ExpectMatrix(*m_ball.GetTranslationMatrix(), Identity());
    EXPECT_TRUE(m_ball.IsBeingDragged());
}

TEST_F(ArcBallDrag, PointerCapturedLeftOfTheWindowPansALittle) {
    Send(m_ball, WM_RBUTTONDOWN, MK_RBUTTON, 5, 100);
    Send(m_ball, WM_MOUSEMOVE, MK_RBUTTON, -5, 100);
    ExpectMatrix(*m_ball.GetTranslationMatrix(), Translation(-0.1f, 0.0f, 0.0f));
}

TEST_F(ArcBallDrag, PointerCapturedAboveTheWindowTurnsTowardTheTop) {
    Send(m_ball, WM_LBUTTONDOWN, MK_LBUTTON, 100, 100);
    Send(m_ball, WM_MOUSEMOVE, MK_LBUTTON, 100, -50);
    // Above the window is the rim at -y, not the bottom of the sphere.
    ExpectVector(Transform(D3DXVECTOR3(0, 0, 1), m_ball.GetRotationMatrix()), 0, -1, 0);
}

TEST(ArcBallMessages, OthersAreNotHandledAndChangeNothing) {
    ArcBall ball;
    ball.SetWindow(200, 200, 1.0f);
    constexpr UINT kLeftDoubleClick = 0x0203, kRightDoubleClick = 0x0206;
    for (const UINT message :
         {WM_RBUTTONUP, WM_MBUTTONUP, kLeftDoubleClick, kRightDoubleClick, WM_KEYDOWN}) {
        EXPECT_FALSE(Send(ball, message, MK_LBUTTON | MK_RBUTTON, 0, 0)) << message;
    }
    EXPECT_TRUE(Send(ball, WM_MOUSEMOVE, 0, 0, 0)); // a plain move is handled, and does nothing
    EXPECT_FALSE(ball.IsBeingDragged());
    ExpectMatrix(*ball.GetRotationMatrix(), Identity());
    ExpectMatrix(*ball.GetTranslationMatrix(), Identity());
}

TEST(ArcBallMessages, PanWithoutAWindowStaysPut) {
    ArcBall ball;
    Send(ball, WM_RBUTTONDOWN, MK_RBUTTON, 0, 0);
    Send(ball, WM_MOUSEMOVE, MK_RBUTTON, 10, 10);
    Send(ball, WM_MBUTTONDOWN, MK_MBUTTON, 0, 0);
    Send(ball, WM_MOUSEMOVE, MK_MBUTTON, 10, 10);
    ExpectMatrix(*ball.GetTranslationMatrix(), Identity());
}

} // namespace
