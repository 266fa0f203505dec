#pragma once
// The model budget: what the model of a document may cost, and what each part
// of it will cost, known before that part is built.
//
// Two bounds keep every build finite whatever the document holds:
// - Per segment, no sampling (rings of rails, spines and tunnels, crossties,
//   heart-line points, comb teeth) takes more samples than the longest segment
//   that fits in the simulator's scene could need at that spacing. A longer
//   segment is sampled more coarsely; it cannot be driven into the ride anyway.
// - The whole model (path frames, comb and heart-line, track, supports,
//   tunnels, ground and water) has a ceiling in faces and in bytes, set well
//   above the largest real ride. Before each part is built the pipeline asks
//   the budget how much of it fits beside the parts already built; the part is
//   then built as far as that (a prefix of its segments or records, the
//   terrain at a coarser grid), and what was left out is told once, at the end
//   of the build. The document itself is never touched.
//
// The builders read the limits in gModelBudgetLimits; by default nothing is
// limited, so a builder called alone builds everything.

#include <cstdint>
#include <string>
#include <vector>

// The simulator's scene: x and z from -220 to 220 m, y from 0 to 150 m.
inline constexpr double kSceneHalfWidth = 220.0;
inline constexpr double kSceneHeight = 150.0;

// The longest segment inside the scene: a cubic curve is never longer than
// its control polygon, three diagonals of the scene at most (some 1,920 m).
double SceneSegmentLength();
// The most samples a segment inside the scene needs at this spacing.
int32_t SceneSampleCap(float spacing);
// Samples along a segment: length / spacing rounded half to even, at least 1
// (also for a length that is not a number), at most SceneSampleCap(spacing).
int32_t BoundedSampleCount(float length, float spacing);

// The benchmarks' large ride (15.6 km of track with 5,000 tubes, a support
// every 10 m and a 1024 x 1024 terrain with water, far beyond any real ride)
// holds 6.16 million faces in 596 MB; the preview keeps about as much again in
// its display lists, so the ceilings stay below twice that.
inline constexpr int64_t kModelFaceCeiling = 8'000'000;  // faces and ground/water triangles
inline constexpr int64_t kModelByteCeiling = 768LL << 20;  // 768 MiB of model arrays
// The path frames with the comb and heart-line alone (all that level 0 builds):
// some 3,800 segments, nearly twice the large ride's 2,000 (266 MB).
inline constexpr int64_t kPathByteCeiling = 512LL << 20;

// The ceilings in force: the ones above, lowered only by tests that want to
// see a build cut short without building a gigabyte first.
struct ModelCeilings {
    int64_t Faces = kModelFaceCeiling;
    int64_t Bytes = kModelByteCeiling;
    int64_t PathBytes = kPathByteCeiling;
};
extern ModelCeilings gModelCeilings;

struct ModelCost {
    int64_t Faces = 0;
    int64_t Bytes = 0;
    ModelCost& operator+=(const ModelCost& o) {
        Faces += o.Faces;
        Bytes += o.Bytes;
        return *this;
    }
};

// The parts of the model, each rebuilt whole by its builder.
enum class ModelPart { Path, Track, Tubes, Catwalks, Footers, Prefabs, Tunnels, Ground };
inline constexpr int kModelPartCount = 8;

// What the model arrays of a part hold now (faces, and bytes as allocated).
ModelCost MeasureModelPart(ModelPart part);
// All parts together.
ModelCost MeasureModel();

// How far each builder may go; none of them limits anything by default.
struct ModelBudgetLimits {
    int32_t PathSegments = INT32_MAX;    // segments that get path frames, comb and heart-line
    int32_t TrackSegments = INT32_MAX;   // segments that get rails, spines and crossties
    int32_t Tubes = INT32_MAX;
    int32_t Catwalks = INT32_MAX;
    int32_t Footers = INT32_MAX;
    int32_t Prefabs = INT32_MAX;         // prefabricated supports, counted over all segments
    int32_t Tunnels = INT32_MAX;         // tunnel segments
    int32_t GroundStride = 0;            // 0: as the settings say; k: every k-th terrain point; -1: flat ground
};
extern ModelBudgetLimits gModelBudgetLimits;

// The faces one item of a part can hold at most (checked by the tests against
// every kind the builders make).
inline constexpr int64_t kTubeFaceBound = 36;      // H-beam: 24 sides and two caps of 6
inline constexpr int64_t kCatwalkFaceBound = 12;
inline constexpr int64_t kFooterFaceBound = 22;    // octagon: 16 sides and a cap of 6
// A prefabricated support with its footers, besides the bracing of the
// complex style: three beams of 16 faces every 6 m of the anchor's height
// (1,000 levels at most).
inline constexpr int64_t kPrefabFaceBound = 512;
inline constexpr int64_t kPrefabBracingFaces = 3 * 16;

// Plans one build: before each part, Plan... sets that part's limit in
// gModelBudgetLimits so that its estimated cost fits beside the other parts as
// they stand, and notes what is left out.
class ModelBudget {
public:
    ModelBudget();   // every limit back to none
    ~ModelBudget();  // and again, so that later single builders are unlimited

    void PlanPath(bool comb);  // the comb and heart-line are built with the path (tracks)
    void PlanTrack();          // after the crosstie objects are loaded
    void PlanTubes();
    void PlanCatwalks();
    void PlanFooters();
    void PlanPrefabs();
    void PlanTunnels();
    void PlanGround();

    // The one message of the build; empty when everything was built.
    std::string Message() const;
    const std::vector<std::string>& LeftOut() const { return leftOut_; }

    // The most support tubes the model can build beside everything else of
    // the open track (PlanModelBesideTubes): a document with no more tubes
    // has no tube left out, whatever detail its model is built at. It
    // depends on the document, the model settings and the crosstie files
    // they name, never on what the model holds now.
    static int32_t TubesThatFit();

private:
    static ModelCost Available(ModelPart part);
    std::vector<std::string> leftOut_;
};

// What a part of the open track's model costs at most, planned from the
// document's records and the model settings alone (those the track style's
// presets give while they are not applied yet), never from what the model
// holds: the path with its comb, the track and the tunnels at the finest
// spacing any detail sets (crossties of as many triangles as their files can
// hold), every record at the most its kind can cost, the terrain at its full
// detail.
ModelCost PlanModelPart(ModelPart part);
// All parts but the support tubes.
ModelCost PlanModelBesideTubes();

// The estimated cost of single items (upper bounds of what the builders make).
ModelCost EstimatePathSegment(int32_t segment, bool comb);
ModelCost EstimateTrackSegment(int32_t segment);
ModelCost EstimateTunnelSegment(int32_t segment);
// Faces of prefabricated support `item` of the segment with its footers (the
// path must be built: the bracing depends on the anchor's height).
int64_t EstimatePrefabFaces(int32_t segment, int32_t item);
ModelCost EstimateGround(int32_t stride);
