// The cheapest possible item program: it starts and ends with 0.
int main() { return 0; }
