/* A set-up program that takes its command line and ends at once: it never opens the event
   "Setup Started" and has no window. */
int main(void) {
    return 0;
}
