#pragma once
// Follows a recording of the sink's monitor through the file that was played into it: maps
// each stretch of the recording to the stretch of the file it holds, and judges the map
// against what the player was told to do (play through, seek, pause and resume).

// check_playback follow RECORDING FILE MAX_ERROR [seek:MS | resume:MS ...]
// args: what follows the verb. Exit: 0 passed, 1 failed, 2 bad arguments.
int FollowPlayback(int argc, char** argv);
