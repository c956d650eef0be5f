#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""PNG labels for a list of texts, made in parallel on a Dask cluster.

    dask_labels.py TEXTS OUTPUT_DIR [--scheduler ADDRESS] [--workers N]

TEXTS holds one label text per line; the label of line i (from 0) is written
as OUTPUT_DIR/label-000000.png and so on, and blank lines are skipped, as
the command line's batch skips them. Without --scheduler a local cluster of
N worker processes is started on this machine, every port of it on the
loopback address only; with --scheduler
tcp://host:8786 the labels are made by the workers of that cluster, which
need the barquill module installed and OUTPUT_DIR on a shared file system.
"""

import argparse
import os
import sys
import time

import dask.bag
from distributed import Client, LocalCluster


def label_path(output_dir: str, index: int) -> str:
    return os.path.join(output_dir, f"label-{index:06d}.png")


def write_labels(items, output_dir: str):
    """Writes the labels of one partition; returns (written, failures).
    The partition's labels are made in one call, on the worker's own core
    (Dask runs one partition per worker thread); should one fail, each is
    made alone so that every failure is reported."""
    import barquill  # on the worker

    render = {"module_width": 2, "row_height": 6, "dpi": 203}
    indices = [index for index, _ in items]
    texts = [text for _, text in items]
    try:
        files = barquill.encode_many(texts, "png", threads=1, **render)
    except barquill.EncodeError:
        files = []
        for text in texts:
            try:
                files.append(barquill.encode_many([text], "png", threads=1, **render)[0])
            except barquill.EncodeError as error:
                files.append(error)
    written, failures = 0, []
    for index, file in zip(indices, files):
        if isinstance(file, barquill.EncodeError):
            failures.append((index, str(file).removeprefix("item 0: ")))
            continue
        with open(label_path(output_dir, index), "wb") as out:
            out.write(file)
        written += 1
    return [(written, failures)]


def make_labels(items: list[tuple[int, str]], output_dir: str, client: Client, partitions: int):
    """Makes the label of every (index, text) on the client's cluster;
    returns (written, failures)."""
    os.makedirs(output_dir, exist_ok=True)
    bag = dask.bag.from_sequence(items, npartitions=max(1, min(partitions, len(items))))
    results = bag.map_partitions(write_labels, output_dir).compute(scheduler=client.get)
    written = sum(count for count, _ in results)
    failures = [failure for _, batch in results for failure in batch]
    return written, failures


def main(argv=None) -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("texts", help="file with one label text per line")
    parser.add_argument("output_dir")
    parser.add_argument("--scheduler", help="address of a running Dask scheduler")
    parser.add_argument("--workers", type=int, default=2,
                        help="worker processes of the local cluster (default 2)")
    args = parser.parse_args(argv)

    with open(args.texts, encoding="utf-8") as file:
        items = [(index, text) for index, text in enumerate(file.read().splitlines())
                 if text.strip(" \t\r")]
    started = time.perf_counter()
    if args.scheduler:
        client = Client(args.scheduler)
        cluster = None
    else:
        # The scheduler, the workers, their nannies and every dashboard on
        # 127.0.0.1: a cluster for this machine serves no one else.
        cluster = LocalCluster(n_workers=args.workers, threads_per_worker=1, processes=True,
                               host="127.0.0.1", dashboard_address="127.0.0.1:0",
                               worker_dashboard_address="127.0.0.1:0")
        client = Client(cluster)
    try:
        workers = len(client.scheduler_info()["workers"])
        ready = time.perf_counter()
        written, failures = make_labels(items, args.output_dir, client,
                                        partitions=max(1, 4 * workers))
        elapsed = time.perf_counter() - ready
    finally:
        client.close()
        if cluster is not None:
            cluster.close()
    for index, message in failures:
        print(f"label {index}: {message}", file=sys.stderr)
    print(f"{written} labels in {elapsed:.2f} s on {workers} workers "
          f"({written / elapsed:.0f} labels/s; cluster start {ready - started:.1f} s)")
    return 0 if not failures else 2


if __name__ == "__main__":
    sys.exit(main())
