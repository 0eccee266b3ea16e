// tessera-map render: the whole map as one PNG picture.
#pragma once

// render NAME OUT.png [--scale 1|2|4|8] [--frame 0|1] [--attributes] [--enemies];
// `argv` holds the arguments after "render". 0 on success, 1 after a
// message, 2 after a wrong argument.
int RunRender(int argc, char** argv);
