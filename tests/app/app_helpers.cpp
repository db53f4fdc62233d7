// The viewer windows' tests build their reports as the preview tests do.
#include "../preview/preview_helpers.cpp"
