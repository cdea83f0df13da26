// Stands in for the updater in the update benchmark: takes any arguments and exits at once.
int main() { return 0; }
