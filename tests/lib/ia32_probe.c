/* Exits with 0 when the kernel takes 32-bit system calls from this 64-bit process, which
   Wine's 32-bit code needs.  Without IA-32 emulation the call raises a general protection
   fault instead, and the process dies of SIGSEGV. */
int main(void)
{
    long pid;
    /* getpid, by its number in the 32-bit system call table */
    __asm__ volatile("int $0x80" : "=a"(pid) : "a"(20L) : "memory");
    return pid > 0 ? 0 : 1;
}
