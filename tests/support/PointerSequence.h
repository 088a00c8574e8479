// Feeds a pointer gesture to anything with the widget's input and update operations
// (DoMouseButton, DoMouseDrag, DoMouseButtonUp, DoUpdate): a press, drags and a release at
// chosen points, with a chosen frame time run between them. Header only.
#pragma once

#include <vector>

struct sPointerPoint
{
    int x;
    int y;
};

// The results of one gesture: the press, each drag and the release, in order.
struct sPointerResults
{
    int m_iPress = 0;
    std::vector<int> m_aDrags;
    int m_iRelease = 0;
};

template <class T> class CPointerSequence
{
public:
    explicit CPointerSequence(T& target, unsigned int uButton = 0) : m_Target(target), m_uButton(uButton) {}

    CPointerSequence& Press(int x, int y)
    {
        m_Results.m_iPress = m_Target.DoMouseButton(m_uButton, x, y);
        return *this;
    }
    CPointerSequence& Drag(int x, int y)
    {
        m_Results.m_aDrags.push_back(m_Target.DoMouseDrag(m_uButton, x, y));
        return *this;
    }
    CPointerSequence& Release(int x, int y)
    {
        m_Results.m_iRelease = m_Target.DoMouseButtonUp(m_uButton, x, y);
        return *this;
    }
    // Runs frames of the given length (0 runs none).
    CPointerSequence& Frames(float fSeconds, int iCount = 1)
    {
        for (int i = 0; i < iCount && fSeconds > 0.0f; ++i)
            m_Target.DoUpdate(fSeconds);
        return *this;
    }
    const sPointerResults& Results() const { return m_Results; }

private:
    T& m_Target;
    unsigned int m_uButton;
    sPointerResults m_Results;
};

// Press at the first point, drag through the middle ones, release at the last; fFrame
// seconds of update run after every step but the last (0 for none).
template <class T>
sPointerResults FeedPointerPath(T& target, const std::vector<sPointerPoint>& aPoints, float fFrame,
                                unsigned int uButton = 0)
{
    CPointerSequence<T> seq(target, uButton);
    if (aPoints.empty())
        return seq.Results();
    seq.Press(aPoints.front().x, aPoints.front().y).Frames(fFrame);
    for (size_t i = 1; i + 1 < aPoints.size(); ++i)
        seq.Drag(aPoints[i].x, aPoints[i].y).Frames(fFrame);
    const sPointerPoint& last = aPoints.back();
    seq.Release(last.x, last.y);
    return seq.Results();
}

// A tap: press and release at one point with fFrame seconds between them.
template <class T> sPointerResults FeedTap(T& target, int x, int y, float fFrame, unsigned int uButton = 0)
{
    return FeedPointerPath(target, {{x, y}, {x, y}}, fFrame, uButton);
}
