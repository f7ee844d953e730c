#include <cstdio>

int main()
{
    std::puts("no phases yet");
    return 0;
}
