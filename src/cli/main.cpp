#include <cstdio>

int main() {
    std::puts("kelvara-cli: not built yet");
    return 2;
}
