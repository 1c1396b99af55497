// The library that owns the precompiled header the window libraries share;
// it is built for that header only.
