// Placeholder entry until the frame loop lands.
int main() { return 0; }
