// The skin library carries only the skin's pictures as resources (see CMakeLists.txt);
// a static library still needs one source of its own.
