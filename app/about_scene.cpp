#include "app/about_scene.h"

#include <random>

#include "core/app_version.h"
#include "model/render/camera.h"

namespace about {

RandomSource SystemRandom() {
    auto engine = std::make_shared<std::mt19937>(std::random_device{}());
    // 32 random bits over 2^32: never 1.
    return [engine] { return static_cast<double>((*engine)()) / 4294967296.0; };
}

AboutAnimation::AboutAnimation(RandomSource random) : mRandom(std::move(random)) { Reset(); }

void AboutAnimation::Reset() {
    for (auto& row : WaveGrid) row.fill(0.0f);
    for (int i = 0; i < kWaveGridSize; ++i)
        for (int j = 0; j < kWaveGridSize; ++j) WaveGrid[i][j] = static_cast<float>(mRandom() * kDropHeight);
    CreditsScroll = kCreditsStart;
}

int AboutAnimation::RandomIndex() {
    const int index = static_cast<int>(mRandom() * kWaveGridSize);
    // A source that strays to 1 still names a column of the field.
    return index < 0 ? 0 : (index >= kWaveGridSize ? kWaveGridSize - 1 : index);
}

Vector3 OrbitPosition(const Vector3& angles) {
    const Matrix4 turn = MatrixMultiply(MatrixRotateY(DegToRad(angles.Y)), MatrixRotateX(DegToRad(angles.X)));
    return MatrixTransformPoint(turn, MakeVector(0.0f, 0.0f, kOrbitDistance));
}

void AboutAnimation::Step() {
    gCameraAngles.Y += kHeadingStep;
    gCameraPosition = OrbitPosition(gCameraAngles);
    for (int i = 0; i < kWaveGridSize; ++i) {
        for (int j = 0; j < kWaveGridSize; ++j) {
            float& h = WaveGrid[i][j];
            h -= kSinkPerTick;
            if (h < 0.0f) h = 0.0f;
        }
    }
    for (int drop = 0; drop < 3; ++drop) {
        const int a = RandomIndex();
        const int b = RandomIndex();
        WaveGrid[a][b] = kDropHeight;
    }
    CreditsScroll += kCreditsSpeed;
    if (CreditsScroll > kCreditsEnd) CreditsScroll = kCreditsStart;
}

void BorrowedViewState::SaveLights() {
    mSavedLights = SaveLightState();
    mLightsSaved = true;
}

void BorrowedViewState::SaveCameraAndPose() {
    mSavedPosition = gCameraPosition;
    mSavedAngles = gCameraAngles;
    mCameraSaved = true;
    gCameraAngles = kAboutCameraAngles;
    gCameraPosition = kAboutCameraPosition;
}

void BorrowedViewState::Restore() {
    if (mLightsSaved) RestoreLightState(mSavedLights);
    if (mCameraSaved) {
        gCameraPosition = mSavedPosition;
        gCameraAngles = mSavedAngles;
    }
    mLightsSaved = false;
    mCameraSaved = false;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

float AddCreditBlock(std::vector<CreditLine>& out, std::string_view text, float y, float z, float red, float green,
                     float blue) {
    bool first = true;
    for (std::string& line : SplitLines(text)) {
        CreditLine l{std::move(line), y, z, 1.0f, 1.0f, 1.0f};
        if (first) {
            l.Red = red;
            l.Green = green;
            l.Blue = blue;
        }
        out.push_back(std::move(l));
        first = false;
        y -= 1.0f;
    }
    return y;
}

float AddTextLines(std::vector<CreditLine>& out, std::string_view text, float y, float z) {
    return AddCreditBlock(out, text, y, z, 1.0f, 1.0f, 1.0f);
}

const CreditsText& Credits() {
    // The people of this project, by their role in it.
    static const CreditsText credits{
        "Brightquay Studios",
        "Gantrywright\r\n"
        "(c) The Gantrywright Project\r\n"
        "Version " + AppVersionText(),
        {
            "- Lead Programmer -\r\n"
            "The Gantrywright Project Lead",
            "- Additional Programming -\r\n"
            "The Preview Engineer",
            "- 3D Modeling -\r\n"
            "The Model Builder Engineer",
            "- Help Manual -\r\n"
            "The Application Engineers",
            "- Lead Beta Tester -\r\n"
            "The Keeper of the Test Suite",
            "- Beta Testers -\r\n"
            "The Track Document Engineer\r\n"
            "The User Controls Engineer\r\n"
            "The Track Tools Engineers\r\n"
            "The Export Engineer\r\n"
            "The Simulator Tools Engineer",
        },
        "Vortaxis Coaster\r\n"
        "Vortaxis belongs to its makers\r\n"
        "Created by the Vortaxis Team",
    };
    return credits;
}

std::vector<CreditLine> LayoutCredits(float scroll, const CreditsText& credits) {
    std::vector<CreditLine> out;
    out.push_back(CreditLine{credits.Maker, scroll, -10.0f, 1.0f, 1.0f, 0.0f});
    float y = AddTextLines(out, credits.Program, scroll - 1.0f, -10.0f);
    for (size_t b = 0; b < credits.Blocks.size(); ++b) {
        y -= b == 0 ? kGapBeforeFirstBlock : kGapBetweenBlocks;
        y = AddCreditBlock(out, credits.Blocks[b], y, -12.0f, 0.0f, 1.0f, 1.0f);
    }
    AddTextLines(out, credits.Simulator, y - kGapBeforeSimulator, -10.0f);
    return out;
}

float TextAdvance(std::string_view line, const fonts::GlyphMetricsFloat* metrics) {
    float width = 0.0f;
    for (char c : line) width += metrics[static_cast<unsigned char>(c)].CellIncX;
    return width;
}

}  // namespace about
