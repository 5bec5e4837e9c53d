"""A local SMTP server for the mail tests.

Usage: smtp_sink.py FOLDER [accept|drop]. Listens on 127.0.0.1 at a free port, which it prints on
its first line of output, and keeps each mail that arrives as FOLDER/<n>/ (n = 1, 2, ...):
  envelope.txt   the sender, then one recipient a line
  headers.txt    "To|Cc|From<TAB>display name<TAB>address" lines, "Subject<TAB>text",
                 "Bcc<TAB>present" when the message names Bcc recipients in its headers
  body.txt       the text part, decoded
  attachments/   each attachment under its file name, decoded
  raw.eml        the message as it arrived
A recipient whose address begins with "nobody@" is refused (550). In "drop" mode the server takes
the envelope, answers DATA and then closes the connection after the first bytes of the message.
"""
import asyncio
import email
import email.policy
import os
import sys

from aiosmtpd.smtp import SMTP

folder = sys.argv[1]
mode = sys.argv[2] if len(sys.argv) > 2 else "accept"
count = 0


def keep(envelope):
    global count
    count += 1
    final = os.path.join(folder, str(count))
    work = final + ".part"
    os.makedirs(os.path.join(work, "attachments"))
    raw = envelope.original_content or envelope.content
    with open(os.path.join(work, "raw.eml"), "wb") as f:
        f.write(raw)
    with open(os.path.join(work, "envelope.txt"), "w", encoding="utf-8") as f:
        f.write("\n".join([envelope.mail_from] + list(envelope.rcpt_tos)) + "\n")
    msg = email.message_from_bytes(raw, policy=email.policy.default)
    lines = []
    for name in ("From", "To", "Cc"):
        header = msg[name]
        if header is None:
            continue
        for address in getattr(header, "addresses", ()):
            lines.append("%s\t%s\t%s" % (name, address.display_name, address.addr_spec))
    lines.append("Subject\t%s" % (msg["Subject"] or ""))
    if msg["Bcc"] is not None:
        lines.append("Bcc\tpresent")
    with open(os.path.join(work, "headers.txt"), "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")
    body = msg.get_body(("plain",))
    with open(os.path.join(work, "body.txt"), "w", encoding="utf-8", newline="") as f:
        f.write(body.get_content() if body is not None else "")
    for part in msg.iter_attachments():
        name = os.path.basename(part.get_filename() or "unnamed")
        with open(os.path.join(work, "attachments", name), "wb") as f:
            f.write(part.get_payload(decode=True))
    os.rename(work, final)


class Keeper:
    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower().startswith("nobody@"):
            return "550 5.1.1 No such user here"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        keep(envelope)
        return "250 Message accepted for delivery"


class Dropper(asyncio.Protocol):
    def connection_made(self, transport):
        self.transport = transport
        self.buffer = b""
        self.data = False
        transport.write(b"220 sink ready\r\n")

    def data_received(self, data):
        if self.data:
            self.transport.close()
            return
        self.buffer += data
        while b"\r\n" in self.buffer:
            line, self.buffer = self.buffer.split(b"\r\n", 1)
            verb = line[:4].upper()
            if verb == b"DATA":
                self.data = True
                self.transport.write(b"354 go ahead\r\n")
                return
            if verb == b"QUIT":
                self.transport.write(b"221 bye\r\n")
                self.transport.close()
                return
            self.transport.write(b"250 OK\r\n")


async def main():
    loop = asyncio.get_running_loop()
    factory = Dropper if mode == "drop" else (lambda: SMTP(Keeper(), hostname="sink"))
    server = await loop.create_server(factory, "127.0.0.1", 0)
    print(server.sockets[0].getsockname()[1], flush=True)
    async with server:
        await server.serve_forever()


asyncio.run(main())
