// Rectangle over int or float: left, top, right, bottom (a plain value type).
#pragma once

template <class T> class CKorvelRect
{
public:
    T left, top, right, bottom;

    CKorvelRect() : left(0), top(0), right(0), bottom(0) {}
    CKorvelRect(T l, T t, T r, T b) : left(l), top(t), right(r), bottom(b) {}

    void Set(T l, T t, T r, T b)
    {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    T GetWidth() const { return right - left; }
    T GetHeight() const { return bottom - top; }

    // Edges are inclusive: rectangles that share only an edge or a corner overlap, with an
    // overlap of width or height 0. Returns 0 when they do not overlap, else 1 and the
    // overlap in *pOut when pOut is not null.
    int Intersect(const CKorvelRect& other, CKorvelRect* pOut) const
    {
        if (other.left > right || other.right < left || other.top > bottom || other.bottom < top)
            return 0;
        if (pOut)
        {
            CKorvelRect r(left > other.left ? left : other.left, top > other.top ? top : other.top,
                          right < other.right ? right : other.right,
                          bottom < other.bottom ? bottom : other.bottom);
            *pOut = r;
        }
        return 1;
    }
};
