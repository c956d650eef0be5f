#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""PNG labels from Python, per label: barquill.encode(t).png() and
barquill.encode_many(texts) against zxingcpp.write_barcode(...) + Pillow PNG
into memory, on the same 20 to 60 character texts in the same run; then
barquill's rate on 1 and on 2 threads, both as Python threads calling
encode(t).png() and as encode_many(texts, threads=1 or 2).

    PYTHONPATH=build/python /usr/bin/python3 bench/python/bench_python.py
Medians over several rounds; the machine should be otherwise idle."""

import io
import statistics
import threading
import time

import zxingcpp
from PIL import Image

import barquill

WORDS = ["LOT", "SHIP", "DOCK", "BATCH", "PALLET", "ROUTE", "ORDER", "BIN"]


def label_texts(count=64):
    texts = []
    for i in range(count):
        length = 20 + (i * 13) % 41
        text, w = f"{100000 + i * 7919} ", 0
        while len(text) < length:
            text += f"{WORDS[(i + w) % 8]}-{i * w % 97} "
            w += 1
        texts.append(text[:length])
    return texts


def per_label(functions, texts, rounds):
    """Median seconds per label of each function over `rounds` passes, the
    functions taking turns within each round so that a shared machine slows
    them alike."""
    times = {name: [] for name in functions}
    for round_number in range(rounds):
        names = list(functions)
        shift = round_number % len(names)
        for name in names[shift:] + names[:shift]:
            start = time.perf_counter()
            functions[name](texts)
            times[name].append((time.perf_counter() - start) / len(texts))
    return {name: statistics.median(values) for name, values in times.items()}


def threaded_rate(texts, threads, repeat):
    """Labels per second with `threads` threads each making `repeat` passes,
    and the CPU seconds the process used per wall-clock second: above 1 only
    when the threads run at the same time, that is without the GIL."""
    def work():
        for _ in range(repeat):
            for text in texts:
                barquill.encode(text).png()
    workers = [threading.Thread(target=work) for _ in range(threads)]
    start, cpu = time.perf_counter(), time.process_time()
    for worker in workers:
        worker.start()
    for worker in workers:
        worker.join()
    wall = time.perf_counter() - start
    return threads * repeat * len(texts) / wall, (time.process_time() - cpu) / wall


def many_rate(texts, threads, repeat):
    """Labels per second of encode_many over `repeat` copies of the texts."""
    items = texts * repeat
    start = time.perf_counter()
    barquill.encode_many(items, threads=threads)
    return len(items) / (time.perf_counter() - start)


def main():
    texts = label_texts()
    sizes = {}
    for text in texts:
        symbol = barquill.encode(text)
        sizes[text] = (symbol.width * 2 + 20, symbol.rows * 4 + 20)

    def with_barquill(text):
        return barquill.encode(text).png()

    def with_zxing(text):
        width, height = sizes[text]
        pixels = zxingcpp.write_barcode(zxingcpp.BarcodeFormat.PDF417, text, width, height)
        out = io.BytesIO()
        Image.fromarray(pixels).save(out, "PNG")
        return out.getvalue()

    functions = {
        "ours": lambda items: [with_barquill(text) for text in items],
        "many": lambda items: barquill.encode_many(items, threads=1),
        "theirs": lambda items: [with_zxing(text) for text in items],
    }
    per_label(functions, texts, 1)  # warm up
    medians = per_label(functions, texts, 15)
    ours, many, theirs = medians["ours"], medians["many"], medians["theirs"]
    print(f"barquill.encode(t).png():          {ours * 1e6:8.1f} us per label (median)")
    print(f"barquill.encode_many(threads=1):   {many * 1e6:8.1f} us per label (median)")
    print(f"zxingcpp.write_barcode + Pillow:   {theirs * 1e6:8.1f} us per label (median)")
    print(f"ratio barquill / zxing-cpp:        {ours / theirs:8.3f} (encode().png()), "
          f"{many / theirs:.3f} (encode_many)")

    runs = {1: [], 2: []}
    for _ in range(5):  # one thread and two, taking turns
        for n in (1, 2):
            runs[n].append(threaded_rate(texts, n, 20))
    one = statistics.median(rate for rate, _ in runs[1])
    two = statistics.median(rate for rate, _ in runs[2])
    busy = {n: statistics.median(cpu for _, cpu in runs[n]) for n in (1, 2)}
    print(f"1 thread:  {one:8.0f} labels/s  ({busy[1]:.2f} CPU seconds per second)")
    print(f"2 threads: {two:8.0f} labels/s  ({busy[2]:.2f} CPU seconds per second; "
          f"{two / one:.2f}x one thread)")

    many = {1: [], 2: []}
    for _ in range(5):
        for n in (1, 2):
            many[n].append(many_rate(texts, n, 200))
    many_runs = {n: statistics.median(rates) for n, rates in many.items()}
    print(f"encode_many, threads=1: {many_runs[1]:8.0f} labels/s")
    print(f"encode_many, threads=2: {many_runs[2]:8.0f} labels/s  "
          f"({many_runs[2] / many_runs[1]:.2f}x threads=1)")


if __name__ == "__main__":
    main()
