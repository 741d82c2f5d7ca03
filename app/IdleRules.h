#pragma once
// Which commands the window shows, recomputed whenever the message queue has become empty.
// Nothing is enabled or disabled; commands are only shown or hidden.

struct IdleInputs {
    bool recording = false;         // a recording runs or is paused
    bool hasTarget = false;         // a target file is chosen
    bool stopPlaybackShown = false; // the playback stop button, as the previous pass left it
    bool playItShowsPause = false;  // the play button shows its pause glyph: a playback exists
};

struct IdleVisibility {
    bool tbOpen, tbRec, tbrecandpause, tbPause, tbStop;
    bool SelectFile1, StartRecording1, Startandpauserecording1, PauseRecording1, StopRecording1;
    bool tbPlayIt, tbStopPlayback, PlayIt1, StopPlayback1;
    bool imTrackButton, imTrackBar, lbFileName;
};

// The rules in their order. The file and start commands read the playback state of the
// previous pass, so they follow a playback's start or end one pass late.
IdleVisibility ComputeIdleVisibility(const IdleInputs& in);
