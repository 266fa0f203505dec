#include "tools/node_smoother.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "tools/finite_coordinates.h"
#include "tools/tool_ending.h"
#include "tools/tool_table.h"
#include "trackdoc/math3d.h"
#include "trackdoc/segment_selection.h"
#include "trackdoc/track_document.h"

namespace {

// The smoother's arithmetic runs in double; the nodes keep single precision.
struct V {
    double x = 0.0, y = 0.0, z = 0.0;
};
V Of(const Vector3& p) { return {p.X, p.Y, p.Z}; }
V operator+(const V& a, const V& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V operator-(const V& a, const V& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V operator*(const V& a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double Dot(const V& a, const V& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V Cross(const V& a, const V& b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Len(const V& a) { return std::sqrt(Dot(a, a)); }
double Clamp1(double c) { return std::clamp(c, -1.0, 1.0); }

// Writes v into a node's point only when it is finite in single precision.
bool Store(Vector3& to, const V& v) {
    const Vector3 p = MakeVector(static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z));
    if (!AllFinite(p)) return false;
    to = p;
    return true;
}

// Strictly inside the simulator's space.
bool InsideScene(const Vector3& p) {
    return -220.0f < p.X && p.X < 220.0f && -220.0f < p.Z && p.Z < 220.0f && 0.0f < p.Y && p.Y < 150.0f;
}

constexpr double kStraightCosine = 0.9998;

class Smoother {
public:
    Smoother(std::vector<TrackNode>& nodes, int n, bool closed, const NodeSmootherOptions& options)
        : nodes_(nodes), n_(n), closed_(closed), options_(options), held_(n, 0), straight_(n, 0), in_(n), out_(n) {}

    void Run() {
        MarkStraightSegments();
        MarkApplication();
        if (!closed_) held_[0] = held_[n_ - 1] = 1;  // an open track's ends stay where they are
        for (int pass = 1; pass <= 5; ++pass) {
            for (int iteration = 0; iteration < 20; ++iteration) Project(1, true);
            Project(2, false);
            if (pass != 3) Place();
            for (int i = 0; i < n_; ++i) nodes_[i].NodeFlag3 = false;
            if (options_.PreferEqualLengths && pass != 3)
                for (int iteration = 0; iteration < 20; ++iteration) AlignArms();
            if (options_.PreferEqualLengths && options_.Depump && pass == 3)
                for (int iteration = 0; iteration < 10; ++iteration) Depump();
        }
    }

private:
    int Prev(int i) const { return i == 0 ? n_ - 1 : i - 1; }
    int Next(int i) const { return i == n_ - 1 ? 0 : i + 1; }
    bool Free(int i) const { return !held_[i] && !straight_[i]; }
    bool RunNode(int i) const { return !held_[i] && straight_[i] && straight_[Prev(i)] && straight_[Next(i)]; }
    // The segments of the ring; an open track has no segment from its last node.
    int SegmentCount() const { return closed_ ? n_ : n_ - 1; }

    void MarkStraightSegments() {
        for (int i = 0; i < SegmentCount(); ++i) {
            const TrackNode& p = nodes_[i];
            const TrackNode& q = nodes_[Next(i)];
            const V a = Of(p.Position) - Of(p.ControlOut);
            const V b = Of(q.ControlIn) - Of(q.Position);
            const V c = Of(p.Position) - Of(q.Position);
            if (AllParallel(a, b, c)) held_[i] = held_[Next(i)] = straight_[i] = straight_[Next(i)] = 1;
            if (options_.PreserveStraightBunnyhills && AllParallel(Plan(a), Plan(b), Plan(c)))
                straight_[i] = straight_[Next(i)] = 1;
        }
    }
    static V Plan(const V& v) { return {v.x, 0.0, v.z}; }
    static bool AllParallel(const V& a, const V& b, const V& c) {
        const double la = Len(a), lb = Len(b), lc = Len(c);
        if (la * lb == 0.0 || la * lc == 0.0 || lb * lc == 0.0) return false;
        return Dot(a, b) / (la * lb) > kStraightCosine && Dot(a, c) / (la * lc) > kStraightCosine &&
               Dot(b, c) / (lb * lc) > kStraightCosine;
    }

    void MarkApplication() {
        for (int i = 0; i < n_; ++i) {
            const bool selected = IsSegmentSelected(i);
            if (options_.Application == SmootherApplication::PreservingSelected && selected) held_[i] = 1;
            if (options_.Application == SmootherApplication::OnlySelected && !selected) held_[i] = 1;
        }
    }

    // The node's control points projected onto the plane through it spanned by
    // its neighbours' facing control points; halfway there when `mean`.
    void Propose(int i, bool mean) {
        const TrackNode& p = nodes_[i];
        in_[i] = p.ControlIn;
        out_[i] = p.ControlOut;
        if (!Free(i)) return;
        const V at = Of(p.Position);
        const V normal = Cross(Of(nodes_[Prev(i)].ControlOut) - at, Of(nodes_[Next(i)].ControlIn) - at);
        const double nn = Dot(normal, normal);
        if (nn == 0.0 || !std::isfinite(nn)) return;
        auto project = [&](const Vector3& h) {
            const V hv = Of(h);
            const V onPlane = hv - normal * (Dot(normal, hv - at) / nn);
            return mean ? (onPlane + hv) * 0.5 : onPlane;
        };
        Vector3 in = p.ControlIn, out = p.ControlOut;
        if (Store(in, project(p.ControlIn)) && Store(out, project(p.ControlOut))) {
            in_[i] = in;
            out_[i] = out;
        }
    }

    // step 1: every node, the proposals halfway; step 2: every second node, all the way.
    void Project(int step, bool mean) {
        for (int i = 0; i < n_; i += step) Propose(i, mean);
        for (int i = 0; i < n_; i += step) {
            if (!InsideScene(in_[i]) || !InsideScene(out_[i])) continue;
            nodes_[i].ControlIn = in_[i];
            nodes_[i].ControlOut = out_[i];
        }
    }

    void Place() {
        for (int i = 0; i < n_; ++i) {
            if (!Free(i) && !RunNode(i)) continue;
            TrackNode& p = nodes_[i];
            const V d = Of(p.ControlOut) - Of(p.ControlIn);
            const V f = Of(p.ControlIn) - Of(nodes_[Prev(i)].ControlOut);
            const V g = Of(p.ControlOut) - Of(nodes_[Next(i)].ControlIn);
            const double ld = Len(d), lf = Len(f), lg = Len(g);
            double r = 1.0;
            if (lg != 0.0) {
                if (ld == 0.0) continue;  // no arm to measure the angles against
                const double cosB = Clamp1(Dot(g, d * -1.0) / (ld * lg));
                const double sinB = std::sqrt(1.0 - cosB * cosB);
                if (sinB != 0.0) {
                    if (lf == 0.0) continue;
                    const double cosA = Clamp1(Dot(f, d) / (ld * lf));
                    const double sinA = std::sqrt(1.0 - cosA * cosA);
                    r = std::sqrt((sinA / sinB) * (lf / lg));
                }
            }
            const double t = 1.0 - 1.0 / (r + 1.0);
            if (!(t > double(0.05f) && t < double(0.95f))) continue;
            Store(p.Position, Of(p.ControlIn) + d * t);
        }
    }

    void AlignArms() {
        for (int i = 0; i < n_; ++i) {
            if (held_[i]) continue;
            TrackNode& p = nodes_[i];
            const V at = Of(p.Position);
            const double lin = Len(Of(p.ControlIn) - at), lout = Len(at - Of(p.ControlOut));
            const V w = Of(nodes_[Next(i)].ControlIn) - Of(nodes_[Prev(i)].ControlOut);
            const double lw = Len(w);
            if (lw == 0.0 || !std::isfinite(lw)) continue;  // no chord direction
            const V unit = w * (1.0 / lw);
            Vector3 in = p.ControlIn, out = p.ControlOut;
            if (Store(in, (Of(p.ControlIn) + at - unit * lin) * 0.5) &&
                Store(out, (Of(p.ControlOut) + at + unit * lout) * 0.5)) {
                p.ControlIn = in;
                p.ControlOut = out;
            }
        }
    }

    static double ArcLength(const TrackNode& p, const TrackNode& q) {
        // 999 curve points at t = 0, 0.001, ... 0.998, measured from the segment's start.
        double length = 0.0;
        V last = Of(p.Position);
        for (int k = 0; k < 999; ++k) {
            const V point = Of(BezierPoint(p.Position, p.ControlOut, q.Position, q.ControlIn, k / 1000.0));
            length += Len(point - last);
            last = point;
        }
        return length;
    }

    void Depump() {
        const double pi = static_cast<float>(4.0 * std::atan(1.0));
        for (int i = 0; i < n_; ++i) {
            if (!Free(i) && !RunNode(i)) continue;
            // On an open track the segments beside the ends have no neighbour
            // across the ends; the segment from the last node does not exist.
            if (!closed_ && (i == 0 || i + 2 > n_ - 1)) continue;
            const int qi = Next(i);
            TrackNode& p = nodes_[i];
            TrackNode& q = nodes_[qi];
            const TrackNode& h = nodes_[Prev(i)];
            const TrackNode& k = nodes_[Next(qi)];
            const double arc = ArcLength(p, q);
            const V d = Of(p.ControlOut) - Of(p.Position);
            const V e = Of(q.Position) - Of(q.ControlIn);
            const double l1 = Len(d), l2 = Len(e);
            if (l1 == 0.0 || l2 == 0.0) continue;  // a handle without direction
            const V w1 = Of(p.ControlIn) - Of(h.ControlOut);
            const V w2 = Of(q.ControlIn) - Of(p.ControlOut);
            const V w3 = Of(k.ControlIn) - Of(q.ControlOut);
            const V m1 = Cross(Cross(w1, w2), Of(p.ControlIn) - Of(p.ControlOut));
            const V m2 = Cross(Cross(w2, w3), Of(q.ControlIn) - Of(q.ControlOut));
            const double lm = Len(m1) * Len(m2);
            double theta = 0.0;
            if (lm != 0.0 && std::isfinite(lm)) theta = ArcCos(Clamp1(Dot(m1, m2) / lm));
            if (theta > 2.168) theta = pi - theta;
            const double target =
                theta == 0.0 ? 2.0 / 3.0 * arc : 2.0 * (4.0 / 3.0) * std::tan(theta / 4.0) / theta * 0.99933 * arc;
            const double diff = target - (l1 + l2);
            const double da = Len(Of(q.Position) - Of(k.Position)), db = Len(Of(p.Position) - Of(h.Position));
            if (da + db == 0.0) continue;  // no neighbours to share the change by
            const double new1 = db / (da + db) * diff + l1, new2 = da / (da + db) * diff + l2;
            Vector3 out = p.ControlOut, in = q.ControlIn;
            if (Store(out, Of(p.Position) + d * (new1 / l1)) && Store(in, Of(q.Position) - e * (new2 / l2))) {
                p.ControlOut = out;
                q.ControlIn = in;
            }
        }
    }

    std::vector<TrackNode>& nodes_;
    const int n_;
    const bool closed_;
    const NodeSmootherOptions options_;
    std::vector<char> held_, straight_;
    std::vector<Vector3> in_, out_;  // the proposed control points of a projection
};

}  // namespace

SmootherOptionBoxes SmootherBoxesAfterClick(bool preferEqualLengths, bool depump) {
    return {preferEqualLengths, preferEqualLengths && depump};
}

void SmoothNodes(const NodeSmootherOptions& options) {
    const int n = std::clamp<int32_t>(gNodeCount, 0, static_cast<int32_t>(gNodes.size()));
    if (n < 2) {
        for (int i = 0; i < n; ++i) gNodes[i].NodeFlag3 = false;
        return;
    }
    Smoother(gNodes, n, gClosedCircuit, options).Run();
}

bool RunNodeSmoother(const NodeSmootherOptions& options) {
    SmoothNodes(options);
    FinishToolEdit(FindToolDialog("frmTNodeSmoother")->Flags);
    return true;
}
