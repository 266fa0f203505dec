#pragma once
// frmTTerrainPolyReducer: Track > Terrain Poly Reducer. Shows the terrain's
// grid size and polygon count, proposes half the size, shows the count the
// typed size gives and how many polygons it removes, and resamples on OK.

#include "tools/frm_tool_dialog.h"

class wxStaticText;

class frmTTerrainPolyReducer : public frmToolDialog {
public:
    explicit frmTTerrainPolyReducer(wxWindow* owner);
    wxStaticText* CurrentGridLabel() const { return lblCurrentGrid; }
    wxStaticText* CurrentPolysLabel() const { return lblCurrentPolys; }
    wxStaticText* NewPolysLabel() const { return lblNewPolys; }
    wxStaticText* SavedPolysLabel() const { return lblSavedPolys; }

    // The current grid size and polygon count into their labels.
    void ShowCurrentTerrainData();
    // The polygon count of the two boxes' sizes and the count it removes into
    // their labels (run while neither box is red).
    void UpdateNewPolyCount();

protected:
    bool ApplyTool() override;
    void BoxChanged(int index) override;

private:
    wxStaticText* lblCurrentGrid = nullptr;
    wxStaticText* lblCurrentPolys = nullptr;
    wxStaticText* lblNewPolys = nullptr;
    wxStaticText* lblSavedPolys = nullptr;
};

void ShowTTerrainPolyReducerDialog(wxWindow* owner);
