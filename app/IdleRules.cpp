#include "IdleRules.h"

#include "Kestrune.h"

IdleVisibility ComputeIdleVisibility(const IdleInputs& in)
{
    const bool r = in.recording;
    const bool p = in.stopPlaybackShown;
    IdleVisibility v{};
    v.tbOpen = !(r || p);
    v.tbRec = !r;
    v.tbrecandpause = !r;
    v.tbPause = r;
    v.tbStop = r;
    v.SelectFile1 = !(r || p);
    v.StartRecording1 = !(r || p);
    v.Startandpauserecording1 = !(r || p);
    v.PauseRecording1 = r;
    v.StopRecording1 = r;
    v.tbPlayIt = in.hasTarget && !r;
    v.tbStopPlayback = v.tbPlayIt && in.playItShowsPause;
    v.PlayIt1 = v.tbPlayIt;
    v.StopPlayback1 = v.tbStopPlayback;
    v.imTrackButton = v.tbStopPlayback;
    v.imTrackBar = v.tbStopPlayback;
    v.lbFileName = !v.tbStopPlayback;
    return v;
}

void TKestrune::ApplicationEvents1Idle()
{
    const IdleVisibility v = ComputeIdleVisibility(
        {Session->State.Recording, !Session->State.TargetFile.empty(), tbStopPlayback->Visible(), Playback->Open()});
    tbOpen->SetVisible(v.tbOpen);
    tbRec->SetVisible(v.tbRec);
    tbrecandpause->SetVisible(v.tbrecandpause);
    tbPause->SetVisible(v.tbPause);
    tbStop->SetVisible(v.tbStop);
    SelectFile1->SetVisible(v.SelectFile1);
    StartRecording1->SetVisible(v.StartRecording1);
    Startandpauserecording1->SetVisible(v.Startandpauserecording1);
    PauseRecording1->SetVisible(v.PauseRecording1);
    StopRecording1->SetVisible(v.StopRecording1);
    tbPlayIt->SetVisible(v.tbPlayIt);
    tbStopPlayback->SetVisible(v.tbStopPlayback);
    PlayIt1->SetVisible(v.PlayIt1);
    StopPlayback1->SetVisible(v.StopPlayback1);
    // A knob that hides under the cursor (the playback ended) gets no release: its drag ends here.
    if (!v.imTrackButton && Playback->SeekBar.Dragging)
        Playback->SeekBar.EndDrag();
    imTrackButton->SetVisible(v.imTrackButton);
    imTrackBar->SetVisible(v.imTrackBar);
    lbFileName->SetVisible(v.lbFileName);
}
