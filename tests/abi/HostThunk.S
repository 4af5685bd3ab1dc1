/*
 * The host's side of the register calling convention, written by hand so that the test
 * does not share the compiler's idea of it with the plug-in under test.
 *
 * Calls into the plug-in: the first three arguments go in EAX, EDX and ECX; the rest are
 * pushed first to last; the callee removes them. Callbacks from the plug-in receive the same
 * way and forward to plain C (cdecl) functions of the test.
 *
 * i686 Windows, GNU as, AT&T syntax; C names carry a leading underscore.
 */
        .text

/*
 * void HostCall(void* function, const uint32_t* args, uint32_t count, HostCallResult* out)
 *
 * args holds at least three entries (unused ones are zero). out receives EAX after the
 * call, the stack pointer's difference from its value before the pushes (0 when the callee
 * removed exactly its stack arguments), and EBX, ESI and EDI after the call, which were set
 * to the sentinels below before it (the callee must preserve them).
 */
        .globl  _HostCall
_HostCall:
        pushl   %ebp
        movl    %esp, %ebp
        pushl   %ebx
        pushl   %esi
        pushl   %edi
        subl    $8, %esp                /* -16(%ebp): target, -20(%ebp): ESP before the pushes */
        movl    8(%ebp), %eax
        movl    %eax, -16(%ebp)
        movl    12(%ebp), %esi          /* args */
        movl    16(%ebp), %ecx          /* count */
        movl    %esp, -20(%ebp)
        movl    $3, %edx
1:      cmpl    %ecx, %edx              /* push args[3] .. args[count-1], first to last */
        jae     2f
        pushl   (%esi,%edx,4)
        incl    %edx
        jmp     1b
2:      movl    0(%esi), %eax
        movl    4(%esi), %edx
        movl    8(%esi), %ecx
        movl    $0x5EB1A5ED, %ebx
        movl    $0x51A7E5E5, %esi
        movl    $0x0DDBA11E, %edi
        call    *-16(%ebp)
        movl    %esp, %edx
        subl    -20(%ebp), %edx
        movl    20(%ebp), %ecx          /* out */
        movl    %eax, 0(%ecx)
        movl    %edx, 4(%ecx)
        movl    %ebx, 8(%ecx)
        movl    %esi, 12(%ecx)
        movl    %edi, 16(%ecx)
        leal    -12(%ebp), %esp
        popl    %edi
        popl    %esi
        popl    %ebx
        popl    %ebp
        ret

/*
 * AddActionProc(id, name, hint, kinds address, kinds last index, count):
 * EAX = id, EDX = name, ECX = hint; on the stack, pushed in this order: kinds, last, count.
 * At entry: 4(%esp) = count, 8(%esp) = last, 12(%esp) = kinds. Removes 12 bytes.
 * Forwards to OnAddAction(id, name, hint, kinds, last, count).
 */
        .globl  _AddActionEntry
_AddActionEntry:
        pushl   %ebp
        movl    %esp, %ebp
        pushl   8(%ebp)                 /* count */
        pushl   12(%ebp)                /* last index */
        pushl   16(%ebp)                /* kinds */
        pushl   %ecx                    /* hint */
        pushl   %edx                    /* name */
        pushl   %eax                    /* id */
        call    _OnAddAction
        addl    $24, %esp
        popl    %ebp
        ret     $12

/* SetVariableProc(name, value): EAX = name, EDX = value; nothing on the stack. */
        .globl  _SetVariableEntry
_SetVariableEntry:
        pushl   %edx
        pushl   %eax
        call    _OnSetVariable
        addl    $8, %esp
        ret

/* GetVariableProc(name, address of a text): EAX = name, EDX = address. */
        .globl  _GetVariableEntry
_GetVariableEntry:
        pushl   %edx
        pushl   %eax
        call    _OnGetVariable
        addl    $8, %esp
        ret

/*
 * InterfaceAccessProc(code, address of a HostString variable) -> Boolean in AL:
 * EAX = code, EDX = address.
 */
        .globl  _InterfaceAccessEntry
_InterfaceAccessEntry:
        pushl   %edx
        pushl   %eax
        call    _OnInterfaceAccess
        addl    $8, %esp
        ret
