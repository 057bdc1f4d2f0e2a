// Process entry: shared start-up, the single-instance guard, then the
// command line.
int main() { return 0; }
