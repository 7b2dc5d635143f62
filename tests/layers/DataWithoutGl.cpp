// Nothing to run: the link is the check (CMakeLists.txt).
int main() { return 0; }
